#pragma once
// Triangle meshes built from parts, and their text .x form.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 normalised(V3 a) {
    const float l = length(a);
    return l > 0 ? a * (1.0f / l) : V3{0, 1, 0};
}
inline V3 lerp(V3 a, V3 b, float t) { return a + (b - a) * t; }

// A rectangle of texture space, (0, 0) top-left.
struct UvRect {
    float u0, v0, u1, v1;
    float u(float s) const { return u0 + (u1 - u0) * s; }
    float v(float t) const { return v0 + (v1 - v0) * t; }
};

struct MeshVertex {
    V3 p, n;
    float u = 0, v = 0;
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle, clockwise seen from the front
    size_t triangleCount() const { return indices.size() / 3; }
};

// Text .x ("xof 0303txt 0032") with one frame holding the mesh; positions multiplied by scale.
std::string writeXFile(const Mesh& mesh, const std::string& name, float scale);

// Builds a mesh part by part. Within a part, vertices that share a position share a smooth
// normal; parts meet with hard edges. Faces are wound so that they face `outward`.
class MeshBuilder {
public:
    void beginPart();
    uint32_t vertex(V3 p, float u, float v);
    // A convex polygon of vertices of the current part, turned to face `outward`.
    void face(const std::vector<uint32_t>& ring, V3 outward);
    void endPart();

    // Parts made of one call each.
    // Surface of revolution about a vertical axis through each ring's centre: rings top to
    // bottom, ring k has centre (cx, y, cz) and radii rx, rz. Texture: around = u, down = v.
    struct Ring {
        float y, rx, rz, cx = 0, cz = 0;
        float t = -1;  // texture v down the profile, 0..1; negative: by profile length
    };
    // Sets t by the length of the whole profile, before a coarser mesh drops rings.
    static std::vector<Ring> withProfileV(std::vector<Ring> rings);
    void lathe(const std::vector<Ring>& rings, int segments, const UvRect& uv, float startAngle = 1.5707964f);
    // Flat ellipse facing up (or down), texture mapped as a disc inside uv.
    void disc(V3 centre, float rx, float rz, int segments, bool up, const UvRect& uv,
              float startAngle = 1.5707964f);
    // Tube along a path with a radius per point; texture: around = u, along = v. Ends capped.
    void tube(const std::vector<V3>& path, const std::vector<float>& radii, int segments, const UvRect& uv,
              bool capEnds);
    // Box given by its centre and three half axes, every face mapped to the whole of uv.
    void box(V3 centre, V3 ax, V3 ay, V3 az, const UvRect& uv);
    // Two-sided quad (for the net): corners in order around the quad.
    void quad2(V3 a, V3 b, V3 c, V3 d, const UvRect& uv);

    // The mesh without vertices that no face uses (a lathe's pole keeps one seam copy too many).
    Mesh take();
    const Mesh& mesh() const { return mesh_; }

private:
    Mesh mesh_;
    size_t partStart_ = 0;
    size_t partIndexStart_ = 0;
};
