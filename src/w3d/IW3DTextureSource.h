#pragma once

#include <memory>
#include <string>

namespace kestrel {

class C3DWTexture;

/// Where a mesh gets the textures its materials name. The model preview's W3DTextureFinder
/// searches the game's folders and archives; tests give the mesh a fake. The mesh only borrows
/// the source, so it is never deleted through this interface.
class IW3DTextureSource
{
public:
    /// A texture for `name` (the mesh's prefix already joined in front), or null.
    virtual std::unique_ptr<C3DWTexture> LoadTexture(const std::string& name) = 0;

protected:
    virtual ~IW3DTextureSource() = default;
};

} // namespace kestrel
