#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "gamedb/GameDatabase.h"

namespace tess::gamedb {

// Node images: headings of every kind, and sprites.
inline constexpr int kHeadingImage = 1;
inline constexpr int kSpriteImage = 2;

// Key prefixes; the sprite selection tells plain from compressed sprites by them.
inline constexpr const char* kHeadingKey = "QBRKHEAD_";
inline constexpr const char* kPlainSpriteKey = "QBRKCHILD_";
inline constexpr const char* kCompressedRootKey = "QBRKHEADCOMP";
inline constexpr const char* kCompressedHeadingKey = "QBRKHEADCOMP_";
inline constexpr const char* kCompressedSpriteKey = "QBRKHEADCOMPCHILD_";

struct TreeNode {
    std::string key;
    std::string text;
    int image = 0;
    int parent = -1;  // index of the parent node, -1 for roots
    std::vector<int> children;
};

// The sprite tree as a keyed model: keys are unique in the whole tree, and an
// add that cannot be done (duplicate key, unknown parent) is left out silently.
class SpriteTree {
public:
    // Return the new node's index, or -1 when the add failed.
    int AddRootNode(const std::string& text, const std::string& key, int image);
    int AddChildNode(const std::string& parentKey, const std::string& text, const std::string& key,
                     int image);

    void clear();
    const std::vector<TreeNode>& nodes() const { return nodes_; }
    const std::vector<int>& roots() const { return roots_; }
    // Index of the node with this key, or -1.
    int find(const std::string& key) const;

    // Visits every node depth first, parents before children, in tree order.
    template <class Visit>
    void forEachInTreeOrder(Visit&& visit) const {
        for (int root : roots_) visitFrom(root, 0, visit);
    }

private:
    template <class Visit>
    void visitFrom(int node, int depth, Visit& visit) const {
        visit(nodes_[static_cast<std::size_t>(node)], depth);
        for (int child : nodes_[static_cast<std::size_t>(node)].children) {
            visitFrom(child, depth + 1, visit);
        }
    }
    int add(int parent, const std::string& text, const std::string& key, int image);

    std::vector<TreeNode> nodes_;
    std::vector<int> roots_;
    std::unordered_map<std::string, int> byKey_;
};

// Fills the tree from the open game's "HEAD", "SPRITE" and "COMPRESSED" tables:
// headings, their plain sprites, the "Compressed" root, its sub-headings in
// order of first appearance, and the compressed sprites. Every scanned table is
// moved back to its first row. A required text without a value raises err::InvalidUseOfNull.
void BuildSpriteTree(GameDatabase& db, SpriteTree& tree);

}  // namespace tess::gamedb
