#include "mesh.h"

#include <cstdio>
#include <map>
#include <tuple>

namespace {

constexpr float kTwoPi = 6.2831853f;

void appendf(std::string& s, const char* fmt, double a, double b, double c) {
    char buf[96];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    s += buf;
}

// Zero without a sign, so "-0.000000" never appears.
double clean(double v) { return (v > -5e-7 && v < 5e-7) ? 0.0 : v; }

}  // namespace

std::string writeXFile(const Mesh& mesh, const std::string& name, float scale) {
    const size_t nv = mesh.vertices.size(), nf = mesh.triangleCount();
    std::string s;
    s.reserve(nv * 100 + nf * 40 + 256);
    s += "xof 0303txt 0032\n\n";
    s += "Frame " + name + "Frame {\n";
    s += " Mesh " + name + " {\n";
    s += "  " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        const V3 p = mesh.vertices[i].p;
        appendf(s, "  %.6f;%.6f;%.6f;", clean(p.x * scale), clean(p.y * scale), clean(p.z * scale));
        s += i + 1 < nv ? ",\n" : ";\n";
    }
    auto faces = [&](const char* indent) {
        s += indent + std::to_string(nf) + ";\n";
        for (size_t f = 0; f < nf; ++f) {
            s += indent;
            s += "3;" + std::to_string(mesh.indices[f * 3]) + "," + std::to_string(mesh.indices[f * 3 + 1]) + "," +
                 std::to_string(mesh.indices[f * 3 + 2]) + ";";
            s += f + 1 < nf ? ",\n" : ";\n";
        }
    };
    faces("  ");
    s += "  MeshNormals {\n";
    s += "   " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        const V3 n = mesh.vertices[i].n;
        appendf(s, "   %.6f;%.6f;%.6f;", clean(n.x), clean(n.y), clean(n.z));
        s += i + 1 < nv ? ",\n" : ";\n";
    }
    faces("   ");
    s += "  }\n";
    s += "  MeshTextureCoords {\n";
    s += "   " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "   %.6f;%.6f;", clean(mesh.vertices[i].u), clean(mesh.vertices[i].v));
        s += buf;
        s += i + 1 < nv ? ",\n" : ";\n";
    }
    s += "  }\n";
    s += " }\n";
    s += "}\n";
    return s;
}

Mesh MeshBuilder::take() {
    std::vector<uint32_t> remap(mesh_.vertices.size(), UINT32_MAX);
    Mesh out;
    for (uint32_t& i : mesh_.indices) {
        if (remap[i] == UINT32_MAX) {
            remap[i] = static_cast<uint32_t>(out.vertices.size());
            out.vertices.push_back(mesh_.vertices[i]);
        }
        out.indices.push_back(remap[i]);
    }
    mesh_ = Mesh{};
    return out;
}

void MeshBuilder::beginPart() {
    partStart_ = mesh_.vertices.size();
    partIndexStart_ = mesh_.indices.size();
}

uint32_t MeshBuilder::vertex(V3 p, float u, float v) {
    MeshVertex mv;
    mv.p = p, mv.u = u, mv.v = v;
    mesh_.vertices.push_back(mv);
    return static_cast<uint32_t>(mesh_.vertices.size() - 1);
}

void MeshBuilder::face(const std::vector<uint32_t>& ring, V3 outward) {
    if (ring.size() < 3) return;
    // Newell's normal has the same handedness as (b - a) x (c - a) of a triangle.
    V3 n{};
    for (size_t i = 0; i < ring.size(); ++i) {
        const V3 a = mesh_.vertices[ring[i]].p, b = mesh_.vertices[ring[(i + 1) % ring.size()]].p;
        n = n + V3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
    }
    const bool flip = dot(n, outward) < 0;
    const size_t m = ring.size();
    for (size_t i = 1; i + 1 < m; ++i) {
        const uint32_t a = ring[0], b = ring[i], c = ring[i + 1];
        mesh_.indices.push_back(a);
        mesh_.indices.push_back(flip ? c : b);
        mesh_.indices.push_back(flip ? b : c);
    }
}

void MeshBuilder::endPart() {
    std::map<std::tuple<long, long, long>, V3> sums;
    auto key = [](V3 p) {
        return std::make_tuple(std::lround(p.x * 1e4f), std::lround(p.y * 1e4f), std::lround(p.z * 1e4f));
    };
    for (size_t i = partIndexStart_; i + 2 < mesh_.indices.size(); i += 3) {
        const V3 a = mesh_.vertices[mesh_.indices[i]].p, b = mesh_.vertices[mesh_.indices[i + 1]].p,
                 c = mesh_.vertices[mesh_.indices[i + 2]].p;
        const V3 n = cross(b - a, c - a);  // area weighted
        for (int k = 0; k < 3; ++k) {
            V3& s = sums[key(mesh_.vertices[mesh_.indices[i + k]].p)];
            s = s + n;
        }
    }
    for (size_t i = partStart_; i < mesh_.vertices.size(); ++i) {
        auto it = sums.find(key(mesh_.vertices[i].p));
        mesh_.vertices[i].n = it == sums.end() ? V3{0, 1, 0} : normalised(it->second);
    }
    partStart_ = mesh_.vertices.size();
    partIndexStart_ = mesh_.indices.size();
}

std::vector<MeshBuilder::Ring> MeshBuilder::withProfileV(std::vector<Ring> rings) {
    // v follows the length of the profile, so texture rows are not stretched.
    const size_t n = rings.size();
    std::vector<float> along(n, 0.0f);
    for (size_t i = 1; i < n; ++i) {
        const float dr = 0.5f * ((rings[i].rx + rings[i].rz) - (rings[i - 1].rx + rings[i - 1].rz));
        along[i] = along[i - 1] + std::hypot(rings[i].y - rings[i - 1].y, dr);
    }
    const float total = n > 0 && along[n - 1] > 0 ? along[n - 1] : 1.0f;
    for (size_t i = 0; i < n; ++i) rings[i].t = along[i] / total;
    return rings;
}

void MeshBuilder::lathe(const std::vector<Ring>& rings, int segments, const UvRect& uv, float startAngle) {
    beginPart();
    const size_t n = rings.size();
    std::vector<float> along(n, 0.0f);
    const std::vector<Ring> byLength = withProfileV(rings);
    for (size_t i = 0; i < n; ++i) along[i] = rings[i].t >= 0 ? rings[i].t : byLength[i].t;
    const float total = 1.0f;
    std::vector<uint32_t> first(n);
    for (size_t i = 0; i < n; ++i) {
        first[i] = static_cast<uint32_t>(mesh_.vertices.size());
        for (int k = 0; k <= segments; ++k) {
            const float phi = startAngle + kTwoPi * k / segments;
            const Ring& r = rings[i];
            vertex({r.cx + r.rx * std::cos(phi), r.y, r.cz + r.rz * std::sin(phi)}, uv.u(float(k) / segments),
                   uv.v(along[i] / total));
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        const Ring &a = rings[i], &b = rings[i + 1];
        const float dr = 0.5f * ((b.rx + b.rz) - (a.rx + a.rz)), dy = b.y - a.y;
        const bool topPoint = a.rx < 1e-5f && a.rz < 1e-5f, bottomPoint = b.rx < 1e-5f && b.rz < 1e-5f;
        for (int k = 0; k < segments; ++k) {
            const uint32_t a0 = first[i] + k, a1 = a0 + 1, b0 = first[i + 1] + k, b1 = b0 + 1;
            const V3 centre = (mesh_.vertices[a0].p + mesh_.vertices[a1].p + mesh_.vertices[b0].p +
                               mesh_.vertices[b1].p) * 0.25f;
            const V3 axis{(a.cx + b.cx) * 0.5f, centre.y, (a.cz + b.cz) * 0.5f};
            V3 radial = centre - axis;
            radial.y = 0;
            if (length(radial) < 1e-6f) {
                const float phi = startAngle + kTwoPi * (k + 0.5f) / segments;
                radial = {std::cos(phi), 0, std::sin(phi)};
            }
            const V3 outward = normalised(radial) * (-dy) + V3{0, 1, 0} * dr;
            if (topPoint)
                face({a0, b1, b0}, outward);
            else if (bottomPoint)
                face({a0, a1, b0}, outward);
            else
                face({a0, a1, b1, b0}, outward);
        }
    }
    endPart();
}

void MeshBuilder::disc(V3 centre, float rx, float rz, int segments, bool up, const UvRect& uv, float startAngle) {
    beginPart();
    const uint32_t c = vertex(centre, uv.u(0.5f), uv.v(0.5f));
    const uint32_t first = static_cast<uint32_t>(mesh_.vertices.size());
    for (int k = 0; k < segments; ++k) {
        const float phi = startAngle + kTwoPi * k / segments;
        const float cs = std::cos(phi), sn = std::sin(phi);
        vertex({centre.x + rx * cs, centre.y, centre.z + rz * sn}, uv.u(0.5f + 0.5f * cs), uv.v(0.5f - 0.5f * sn));
    }
    const V3 outward{0, up ? 1.0f : -1.0f, 0};
    for (int k = 0; k < segments; ++k)
        face({c, first + static_cast<uint32_t>(k), first + static_cast<uint32_t>((k + 1) % segments)}, outward);
    endPart();
}

void MeshBuilder::tube(const std::vector<V3>& path, const std::vector<float>& radii, int segments,
                       const UvRect& uv, bool capEnds) {
    const size_t n = path.size();
    if (n < 2) return;
    beginPart();
    std::vector<V3> tangents(n);
    for (size_t i = 0; i < n; ++i) {
        const V3 a = path[i == 0 ? 0 : i - 1], b = path[i + 1 < n ? i + 1 : n - 1];
        tangents[i] = normalised(b - a);
    }
    // Parallel transport of a normal along the path keeps the tube from twisting.
    V3 normal = std::fabs(tangents[0].y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0};
    normal = normalised(normal - tangents[0] * dot(normal, tangents[0]));
    std::vector<float> along(n, 0.0f);
    for (size_t i = 1; i < n; ++i) along[i] = along[i - 1] + length(path[i] - path[i - 1]);
    std::vector<uint32_t> first(n);
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) normal = normalised(normal - tangents[i] * dot(normal, tangents[i]));
        const V3 binormal = cross(tangents[i], normal);
        first[i] = static_cast<uint32_t>(mesh_.vertices.size());
        for (int k = 0; k <= segments; ++k) {
            const float th = kTwoPi * k / segments;
            const V3 p = path[i] + (normal * std::cos(th) + binormal * std::sin(th)) * radii[i];
            vertex(p, uv.u(float(k) / segments), uv.v(along[i] / along[n - 1]));
        }
    }
    for (size_t i = 0; i + 1 < n; ++i)
        for (int k = 0; k < segments; ++k) {
            const uint32_t a0 = first[i] + k, a1 = a0 + 1, b0 = first[i + 1] + k, b1 = b0 + 1;
            const V3 centre =
                (mesh_.vertices[a0].p + mesh_.vertices[a1].p + mesh_.vertices[b0].p + mesh_.vertices[b1].p) * 0.25f;
            face({a0, a1, b1, b0}, centre - (path[i] + path[i + 1]) * 0.5f);
        }
    endPart();
    if (!capEnds) return;
    for (int end = 0; end < 2; ++end) {
        beginPart();
        const size_t i = end == 0 ? 0 : n - 1;
        std::vector<uint32_t> ring;
        for (int k = 0; k < segments; ++k) {
            const MeshVertex& src = mesh_.vertices[first[i] + k];
            ring.push_back(vertex(src.p, src.u, src.v));
        }
        face(ring, end == 0 ? tangents[0] * -1.0f : tangents[n - 1]);
        endPart();
    }
}

void MeshBuilder::box(V3 centre, V3 ax, V3 ay, V3 az, const UvRect& uv) {
    const V3 axes[3] = {ax, ay, az};
    for (int a = 0; a < 3; ++a)
        for (int sign = -1; sign <= 1; sign += 2) {
            const V3 n = axes[a] * float(sign);
            const V3 s = axes[(a + 1) % 3], t = axes[(a + 2) % 3];
            beginPart();
            const V3 c = centre + n;
            const uint32_t v0 = vertex(c - s - t, uv.u(0), uv.v(0));
            const uint32_t v1 = vertex(c + s - t, uv.u(1), uv.v(0));
            const uint32_t v2 = vertex(c + s + t, uv.u(1), uv.v(1));
            const uint32_t v3 = vertex(c - s + t, uv.u(0), uv.v(1));
            face({v0, v1, v2, v3}, n);
            endPart();
        }
}

void MeshBuilder::quad2(V3 a, V3 b, V3 c, V3 d, const UvRect& uv) {
    const V3 n = cross(b - a, c - a);
    // The sides stand a hair apart, so a renderer that culls nothing shows the near one.
    const V3 off = normalised(n) * 0.03f;
    for (int side = 0; side < 2; ++side) {
        const V3 o = side == 0 ? off : off * -1.0f;
        beginPart();
        const uint32_t i0 = vertex(a + o, uv.u(0), uv.v(0)), i1 = vertex(b + o, uv.u(1), uv.v(0)),
                       i2 = vertex(c + o, uv.u(1), uv.v(1)), i3 = vertex(d + o, uv.u(0), uv.v(1));
        face({i0, i1, i2, i3}, side == 0 ? n : n * -1.0f);
        endPart();
    }
}
