#pragma once
// Left-handed matrix builders with the results of the D3DX helpers of the same names.
#include "platform/matrix_math.h"

Matrix matrixIdentity();
Matrix matrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zn, float zf);
Matrix matrixPerspectiveFovLH(float fovY, float aspect, float zn, float zf);
Matrix matrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Matrix matrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Matrix matrixTranslation(float x, float y, float z);
Matrix matrixScaling(float x, float y, float z);
Vec3 transformCoord(const Vec3& v, const Matrix& m);     // with the divide by w
