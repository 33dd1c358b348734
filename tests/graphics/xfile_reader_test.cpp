// The .x reader on small hand-written files, well-formed and not.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/xfile_reader.h"

namespace {

// A square (one 4-sided face) and a triangle on its back inside two frames, with templates,
// a header and a material list to read past, normals that split two corners, texture coordinates.
const std::string kSquare = R"(xof 0303txt 0032
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x; FLOAT y; FLOAT z;
}
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD n; array Vector v[n]; [...] }
Header { 1; 0; 1; }
// comment
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,5,0,1;; }
    Mesh square {
      5;
      0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;, 5.0;5.0;5.0;;
      2;
      4;0,1,2,3;,
      3;2,1,0;;
      MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 8.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFilename { "a.jpg"; } } }
      MeshNormals {
        2;
        0.0;0.0;-1.0;, 0.0;1.0;0.0;;
        2;
        4;0,0,0,0;,
        3;1,1,0;;
      }
      MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;, 0.5;0.5;; }
    }
  }
}
)";

TEST(XFileReaderTest, ReadsFramesFansNormalsAndTextureCoordinates) {
    XMeshData m;
    ASSERT_TRUE(parseXFile(kSquare, &m));
    // positions 2 and 1 are used with a second normal by the triangle: two more vertices
    ASSERT_EQ(m.vertexCount(), 7u);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 5, 6, 0}));
    // inner frame scales by 2 and lifts by 5, outer moves by 10 along x
    EXPECT_FLOAT_EQ(m.positions[2].x, 12.0f);
    EXPECT_FLOAT_EQ(m.positions[2].y, 7.0f);
    EXPECT_FLOAT_EQ(m.positions[5].x, 12.0f);
    EXPECT_FLOAT_EQ(m.positions[5].y, 7.0f);
    EXPECT_FLOAT_EQ(m.positions[6].x, 12.0f);
    EXPECT_FLOAT_EQ(m.positions[6].y, 5.0f);
    EXPECT_FLOAT_EQ(m.normals[2].z, -1.0f);  // normals stay unit length under the scaling
    EXPECT_FLOAT_EQ(m.normals[5].y, 1.0f);
    EXPECT_FLOAT_EQ(m.normals[4].y + m.normals[4].z, 0.0f);  // never used by a face: no normal
    EXPECT_FLOAT_EQ(m.texCoords[5 * 2], 1.0f);  // the split vertex keeps its position's uv
    EXPECT_FLOAT_EQ(m.texCoords[5 * 2 + 1], 1.0f);
    EXPECT_FLOAT_EQ(m.texCoords[4 * 2], 0.5f);

    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;
    ASSERT_TRUE(convertXMesh(m, 0x112, &vertices, &indices));
    EXPECT_EQ(vertices.size(), 7u * 32u);
    EXPECT_EQ(indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 5, 6, 0}));
    float uv[2];
    std::memcpy(uv, vertices.data() + 2 * 32 + 24, sizeof uv);
    EXPECT_FLOAT_EQ(uv[0], 1.0f);
    EXPECT_FLOAT_EQ(uv[1], 1.0f);
}

TEST(XFileReaderTest, MergesEveryMeshInTheFile) {
    const std::string two = "xof 0303txt 0064\n"
                            "Mesh a { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"
                            "Frame f { Mesh b { 3; 0;0;1;, 1;0;1;, 0;1;1;; 1; 3;2,1,0;; } }\n";
    XMeshData m;
    ASSERT_TRUE(parseXFile(two, &m));
    EXPECT_EQ(m.vertexCount(), 6u);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 5, 4, 3}));
    EXPECT_FLOAT_EQ(m.positions[3].z, 1.0f);
}

TEST(XFileReaderTest, RejectsOtherFormatsBadSyntaxAndCountMismatches) {
    const std::string mesh = " 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";
    const std::string head = "xof 0303txt 0032\n";
    const char* bad[] = {
        "",
        "xof 0303bin 0032 binary body",
        "xof 0303tzip0032 compressed",
        "xof 0303txt 0016 Mesh m {}",
        "not an x file at all, long enough",
    };
    for (const char* b : bad) {
        XMeshData m;
        EXPECT_FALSE(parseXFile(b, &m)) << b;
    }
    const std::string badBodies[] = {
        "",                                                         // no mesh at all
        "Mesh m {" + mesh,                                          // unclosed
        "Mesh m {" + mesh + "}}",                                   // stray brace
        "Mesh m { 4; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }",       // too few vertices
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;; }",       // too few faces
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }",       // index out of range
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }",         // not a polygon
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; 7; }",    // extra data
        "Mesh m { 3.5; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }",     // count not an integer
        "Mesh m { -3; 0;0;0; }",
        "Mesh m { 99999999999; 0;0;0; }",
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;x;; 1; 3;0,1,2;; }",       // name among the numbers
        "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } @",     // stray character
        "Mesh m {" + mesh + "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }",     // face count
        "Mesh m {" + mesh + "MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",             // face size
        "Mesh m {" + mesh + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }",               // normal index
        "Mesh m {" + mesh + "MeshTextureCoords { 2; 0;0;, 1;1;; } }",                  // uv count
        "Frame f { FrameTransformMatrix { 1,0,0; } Mesh m {" + mesh + "} }",          // short matrix
        "template T { <1-2-3 ",
        std::string(200, '{'),
    };
    for (const std::string& b : badBodies) {
        XMeshData m;
        EXPECT_FALSE(parseXFile(head + b, &m)) << b;
    }
}

TEST(XFileReaderTest, EveryTruncationOfAGoodFileFailsCleanly) {
    const size_t end = kSquare.rfind('}');
    for (size_t n = 0; n < end; ++n) {
        XMeshData m;
        EXPECT_FALSE(parseXFile(kSquare.substr(0, n), &m)) << n;
    }
}

TEST(XFileReaderTest, SixteenBitIndicesLimitTheVertexCount) {
    XMeshData m;
    m.positions.resize(65536);
    m.normals.resize(65536);
    m.texCoords.resize(65536 * 2);
    m.indices = {0, 1, 65535};
    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;
    EXPECT_FALSE(convertXMesh(m, 0x112, &vertices, &indices));
    m.positions.pop_back();
    m.indices = {0, 1, 65534};
    EXPECT_TRUE(convertXMesh(m, 0x112, &vertices, &indices));
    EXPECT_FALSE(convertXMesh(m, 0x1, &vertices, &indices));  // no position: not a format we fill
}

}  // namespace
