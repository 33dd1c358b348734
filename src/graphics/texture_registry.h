#pragma once
class Texture;
class DeviceHolder;

// Process-wide store of textures, one per file name; ids 0, 1, 2 ... for successes only.
class TextureRegistry {
public:
    static TextureRegistry& instance();

    // quiet: a file that fails is not reported (an optional picture).
    int loadTexture(const char* fileName, bool colorKeyed = false, bool quiet = false);
    int findTextureByName(const char* fileName) const;
    Texture* textureById(int id) const;

    TextureRegistry();  // tests may build their own
    ~TextureRegistry();  // the singleton is never destroyed; others free what they made
    TextureRegistry(const TextureRegistry&) = delete;
    TextureRegistry& operator=(const TextureRegistry&) = delete;

private:
    struct Entry;
    DeviceHolder* devices_;
    Entry* head_ = nullptr;
    int nextId_ = 0;
};
