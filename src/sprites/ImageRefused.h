#pragma once

#include <stdexcept>

namespace tess::sprites {

// Why an image cannot go into a sprite, in words for the user.
class ImageRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tess::sprites
