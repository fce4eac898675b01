#include "lint/LintFinding.h"

#include <algorithm>

namespace tess::lint {

std::string FormatFinding(const LintFinding& f) {
    const char* level = f.level == LintLevel::Error ? "error" : "warning";
    return std::string(level) + '\t' + f.game + '\t' + f.table + '\t' + f.row + '\t' + f.message;
}

bool HasErrors(const std::vector<LintFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const LintFinding& f) { return f.level == LintLevel::Error; });
}

}  // namespace tess::lint
