#include "gamedb/SpriteTree.h"

namespace tess::gamedb {

int SpriteTree::AddRootNode(const std::string& text, const std::string& key, int image) {
    return add(-1, text, key, image);
}

int SpriteTree::AddChildNode(const std::string& parentKey, const std::string& text,
                             const std::string& key, int image) {
    const int parent = find(parentKey);
    if (parent < 0) return -1;
    return add(parent, text, key, image);
}

int SpriteTree::add(int parent, const std::string& text, const std::string& key, int image) {
    if (byKey_.count(key) != 0) return -1;
    const int index = static_cast<int>(nodes_.size());
    nodes_.push_back({key, text, image, parent, {}});
    byKey_.emplace(key, index);
    if (parent < 0) {
        roots_.push_back(index);
    } else {
        nodes_[static_cast<std::size_t>(parent)].children.push_back(index);
    }
    return index;
}

void SpriteTree::clear() {
    nodes_.clear();
    roots_.clear();
    byKey_.clear();
}

int SpriteTree::find(const std::string& key) const {
    const auto it = byKey_.find(key);
    return it == byKey_.end() ? -1 : it->second;
}

void BuildSpriteTree(GameDatabase& db, SpriteTree& tree) {
    const std::string heading = kHeadingKey;
    ScanRows(db.table(GameDatabase::HEAD), [&](TableCursor& t) {
        tree.AddRootNode(t.field("Name").text(), heading + t.field("ID").keyText(), kHeadingImage);
    });
    ScanRows(db.table(GameDatabase::SPRITE), [&](TableCursor& t) {
        tree.AddChildNode(heading + t.field("Heading").keyText(), t.field("Name").text(),
                          kPlainSpriteKey + t.field("Name").keyText(), kSpriteImage);
    });
    tree.AddRootNode("Compressed", kCompressedRootKey, kHeadingImage);
    const std::string subHeading = kCompressedHeadingKey;
    auto& compressed = db.table(GameDatabase::COMPRESSED);
    ScanRows(compressed, [&](TableCursor& t) {
        const std::string sub = t.field("SubHead").text();
        tree.AddChildNode(kCompressedRootKey, sub, subHeading + sub, kHeadingImage);
    });
    ScanRows(compressed, [&](TableCursor& t) {
        tree.AddChildNode(subHeading + t.field("SubHead").keyText(), t.field("Name").text(),
                          kCompressedSpriteKey + t.field("Name").keyText(), kSpriteImage);
    });
}

}  // namespace tess::gamedb
