#include "graphics/matrix.h"

#include <cmath>

namespace {

Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalise(const Vec3& v) {
    float len = std::sqrt(dot(v, v));
    if (len == 0.0f) return {0, 0, 0};
    return {v.x / len, v.y / len, v.z / len};
}

}  // namespace

Matrix matrixIdentity() {
    Matrix r;
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix matrixOrthoOffCenterLH(float l, float r, float b, float t, float zn, float zf) {
    Matrix m = matrixIdentity();
    m.m[0][0] = 2.0f / (r - l);
    m.m[1][1] = 2.0f / (t - b);
    m.m[2][2] = 1.0f / (zf - zn);
    m.m[3][0] = (l + r) / (l - r);
    m.m[3][1] = (t + b) / (b - t);
    m.m[3][2] = zn / (zn - zf);
    return m;
}

Matrix matrixPerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovY / 2.0f);
    float xScale = yScale / aspect;
    Matrix m;
    m.m[0][0] = xScale;
    m.m[1][1] = yScale;
    m.m[2][2] = zf / (zf - zn);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zn * zf / (zf - zn);
    return m;
}

Matrix matrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
    Vec3 z = normalise(sub(at, eye));
    Vec3 x = normalise(cross(up, z));
    Vec3 y = cross(z, x);
    Matrix m = matrixIdentity();
    m.m[0][0] = x.x; m.m[0][1] = y.x; m.m[0][2] = z.x;
    m.m[1][0] = x.y; m.m[1][1] = y.y; m.m[1][2] = z.y;
    m.m[2][0] = x.z; m.m[2][1] = y.z; m.m[2][2] = z.z;
    m.m[3][0] = -dot(x, eye);
    m.m[3][1] = -dot(y, eye);
    m.m[3][2] = -dot(z, eye);
    return m;
}

// Roll about z first, then pitch about x, then yaw about y (row vectors).
Matrix matrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    float cy = std::cos(yaw), sy = std::sin(yaw);
    float cp = std::cos(pitch), sp = std::sin(pitch);
    float cr = std::cos(roll), sr = std::sin(roll);
    Matrix rz = matrixIdentity();
    rz.m[0][0] = cr; rz.m[0][1] = sr; rz.m[1][0] = -sr; rz.m[1][1] = cr;
    Matrix rx = matrixIdentity();
    rx.m[1][1] = cp; rx.m[1][2] = sp; rx.m[2][1] = -sp; rx.m[2][2] = cp;
    Matrix ry = matrixIdentity();
    ry.m[0][0] = cy; ry.m[0][2] = -sy; ry.m[2][0] = sy; ry.m[2][2] = cy;
    return matrixMultiply(matrixMultiply(rz, rx), ry);
}

Matrix matrixTranslation(float x, float y, float z) {
    Matrix m = matrixIdentity();
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

Matrix matrixScaling(float x, float y, float z) {
    Matrix m = matrixIdentity();
    m.m[0][0] = x;
    m.m[1][1] = y;
    m.m[2][2] = z;
    return m;
}

Vec3 transformCoord(const Vec3& v, const Matrix& m) {
    Vec3 r = transformPoint(v, m);
    float w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    if (w != 0.0f && w != 1.0f) {
        r.x /= w;
        r.y /= w;
        r.z /= w;
    }
    return r;
}
