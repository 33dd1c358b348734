#include "graphics/xfile_reader.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <utility>

#include "graphics/matrix.h"
#include "graphics/xfile_syntax.h"
#include "platform/files.h"

namespace {

constexpr size_t kMaxFileBytes = 64u << 20;

using xfile::Node;
using xfile::Tok;
using xfile::Token;

// Reads a node's numbers in order; every read checks that the value is there and of its kind.
class Values {
public:
    explicit Values(const Node& node) : v_(node.values) {}
    bool count(uint32_t* out) {
        if (i_ >= v_.size() || v_[i_]->type != Tok::Int) return false;
        long long x = v_[i_++]->integer;
        if (x < 0 || x > 0x7FFFFFFF) return false;
        *out = static_cast<uint32_t>(x);
        return true;
    }
    bool number(float* out) {
        if (i_ >= v_.size() || (v_[i_]->type != Tok::Int && v_[i_]->type != Tok::Float)) return false;
        *out = static_cast<float>(v_[i_++]->number);
        return std::isfinite(*out);
    }
    size_t remaining() const { return v_.size() - i_; }
    bool done() const { return i_ == v_.size(); }

private:
    const std::vector<const Token*>& v_;
    size_t i_ = 0;
};

struct Face {
    std::vector<uint32_t> corners;
};

bool readFaces(Values& in, uint32_t limit, std::vector<Face>* faces) {
    uint32_t count;
    if (!in.count(&count)) return false;
    if (count > in.remaining()) return false;  // each face needs at least its size
    faces->resize(count);
    for (Face& f : *faces) {
        uint32_t n;
        if (!in.count(&n) || n < 3 || n > in.remaining()) return false;
        f.corners.resize(n);
        for (uint32_t& c : f.corners)
            if (!in.count(&c) || c >= limit) return false;
    }
    return true;
}

bool readVectors(Values& in, std::vector<Vec3>* out) {
    uint32_t count;
    if (!in.count(&count)) return false;
    if (count > in.remaining() / 3) return false;
    out->resize(count);
    for (Vec3& v : *out)
        if (!in.number(&v.x) || !in.number(&v.y) || !in.number(&v.z)) return false;
    return true;
}

// Normals go through the inverse transpose; a singular transform leaves them as they are.
Matrix normalTransform(const Matrix& m) {
    Matrix r = matrixIdentity();
    normalMatrix(m, &r);
    return r;
}

Vec3 transformNormal(const Vec3& n, const Matrix& m) {
    Vec3 r = transformDirection(n, m);
    float len = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    if (len > 0.0f) r = {r.x / len, r.y / len, r.z / len};
    return r;
}

// Appends one Mesh object, transformed, to the merged result.
bool addMesh(const Node& mesh, const Matrix& transform, XMeshData* out) {
    Values in(mesh);
    std::vector<Vec3> positions;
    std::vector<Face> faces;
    if (!readVectors(in, &positions)) return false;
    if (!readFaces(in, static_cast<uint32_t>(positions.size()), &faces)) return false;
    if (!in.done()) return false;

    const Node* normalsNode = nullptr;
    const Node* uvNode = nullptr;
    for (const auto& child : mesh.children) {
        if (child->type == "MeshNormals" && !normalsNode) normalsNode = child.get();
        if (child->type == "MeshTextureCoords" && !uvNode) uvNode = child.get();
    }

    std::vector<Vec3> normals;
    std::vector<Face> normalFaces;
    if (normalsNode) {
        Values nin(*normalsNode);
        if (!readVectors(nin, &normals)) return false;
        if (!readFaces(nin, static_cast<uint32_t>(normals.size()), &normalFaces)) return false;
        if (!nin.done() || normalFaces.size() != faces.size()) return false;
        for (size_t f = 0; f < faces.size(); ++f)
            if (normalFaces[f].corners.size() != faces[f].corners.size()) return false;
    }

    std::vector<float> uvs;
    if (uvNode) {
        Values tin(*uvNode);
        uint32_t count;
        if (!tin.count(&count) || count != positions.size()) return false;
        uvs.resize(size_t(count) * 2);
        for (float& x : uvs)
            if (!tin.number(&x)) return false;
        if (!tin.done()) return false;
    }

    // One vertex per position, plus one more for each further normal a position is used with.
    const uint32_t base = static_cast<uint32_t>(out->positions.size());
    const uint32_t n = static_cast<uint32_t>(positions.size());
    std::vector<int64_t> firstNormal(n, -1);
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> extra;
    std::vector<std::pair<uint32_t, uint32_t>> extraOrder;
    auto vertexFor = [&](uint32_t p, int64_t nIndex) -> uint32_t {
        if (nIndex < 0) return p;
        if (firstNormal[p] < 0) firstNormal[p] = nIndex;
        if (firstNormal[p] == nIndex) return p;
        auto key = std::make_pair(p, static_cast<uint32_t>(nIndex));
        auto it = extra.find(key);
        if (it != extra.end()) return it->second;
        uint32_t v = n + static_cast<uint32_t>(extraOrder.size());
        extra.emplace(key, v);
        extraOrder.push_back(key);
        return v;
    };

    std::vector<uint32_t> tri;
    for (size_t f = 0; f < faces.size(); ++f) {
        const auto& corners = faces[f].corners;
        std::vector<uint32_t> verts(corners.size());
        for (size_t k = 0; k < corners.size(); ++k)
            verts[k] = vertexFor(corners[k], normalsNode ? int64_t(normalFaces[f].corners[k]) : -1);
        for (size_t k = 1; k + 1 < verts.size(); ++k) {
            tri.push_back(base + verts[0]);
            tri.push_back(base + verts[k]);
            tri.push_back(base + verts[k + 1]);
        }
    }

    const Matrix nm = normalTransform(transform);
    auto emit = [&](uint32_t p, int64_t nIndex) {
        out->positions.push_back(transformCoord(positions[p], transform));
        out->normals.push_back(nIndex >= 0 ? transformNormal(normals[size_t(nIndex)], nm) : Vec3{});
        out->texCoords.push_back(uvs.empty() ? 0.0f : uvs[size_t(p) * 2]);
        out->texCoords.push_back(uvs.empty() ? 0.0f : uvs[size_t(p) * 2 + 1]);
    };
    for (uint32_t p = 0; p < n; ++p) emit(p, firstNormal[p]);
    for (const auto& [p, nIndex] : extraOrder) emit(p, nIndex);
    out->indices.insert(out->indices.end(), tri.begin(), tri.end());
    return true;
}

bool readMatrix(const Node& node, Matrix* m) {
    Values in(node);
    for (auto& row : m->m)
        for (float& x : row)
            if (!in.number(&x)) return false;
    return in.done();
}

bool walk(const Node& node, const Matrix& parent, XMeshData* out) {
    for (const auto& child : node.children) {
        if (child->type == "Mesh") {
            if (!addMesh(*child, parent, out)) return false;
        } else if (child->type == "Frame") {
            Matrix local = matrixIdentity();
            for (const auto& c : child->children)
                if (c->type == "FrameTransformMatrix" && !readMatrix(*c, &local)) return false;
            if (!walk(*child, matrixMultiply(local, parent), out)) return false;
        }
        // everything else (materials, headers, animation) is not part of the geometry
    }
    return true;
}

}  // namespace

bool parseXFile(const std::string& bytes, XMeshData* out) {
    *out = XMeshData{};
    // "xof 0303txt 0032": magic, version, format, float size
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) return false;
    if (bytes.compare(8, 4, "txt ") != 0) return false;
    if (bytes.compare(12, 4, "0032") != 0 && bytes.compare(12, 4, "0064") != 0) return false;

    std::vector<Token> tokens;
    if (!xfile::tokenize(std::string_view(bytes).substr(16), &tokens)) return false;
    Node root;
    if (!xfile::parseObjects(tokens, &root)) return false;
    if (!walk(root, matrixIdentity(), out)) return false;
    return !out->indices.empty();
}

bool readXFile(const char* fileName, XMeshData* out) {
    if (!fileName) return false;
    std::ifstream in(hostPath(fileName), std::ios::binary);
    if (!in) return false;
    std::string bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.append(buf, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) return false;
    }
    return parseXFile(bytes, out);
}

uint32_t vertexFormatSize(uint32_t vertexFormat) {
    constexpr uint32_t known = fvf::Xyz | fvf::Normal | fvf::Diffuse | fvf::Tex1;
    if ((vertexFormat & ~known) != 0 || !(vertexFormat & fvf::Xyz)) return 0;
    uint32_t size = 12;
    if (vertexFormat & fvf::Normal) size += 12;
    if (vertexFormat & fvf::Diffuse) size += 4;
    if (vertexFormat & fvf::Tex1) size += 8;
    return size;
}

bool convertXMesh(const XMeshData& mesh, uint32_t vertexFormat, std::vector<uint8_t>* vertices,
                  std::vector<uint16_t>* indices) {
    const uint32_t stride = vertexFormatSize(vertexFormat);
    if (stride == 0 || mesh.vertexCount() > 65535) return false;
    vertices->assign(size_t(mesh.vertexCount()) * stride, 0);
    uint8_t* p = vertices->data();
    for (uint32_t i = 0; i < mesh.vertexCount(); ++i) {
        std::memcpy(p, &mesh.positions[i], 12);
        p += 12;
        if (vertexFormat & fvf::Normal) {
            std::memcpy(p, &mesh.normals[i], 12);
            p += 12;
        }
        if (vertexFormat & fvf::Diffuse) {
            const uint32_t white = 0xFFFFFFFFu;
            std::memcpy(p, &white, 4);
            p += 4;
        }
        if (vertexFormat & fvf::Tex1) {
            std::memcpy(p, &mesh.texCoords[size_t(i) * 2], 8);
            p += 8;
        }
    }
    indices->resize(mesh.indices.size());
    for (size_t i = 0; i < mesh.indices.size(); ++i) (*indices)[i] = static_cast<uint16_t>(mesh.indices[i]);
    return true;
}
