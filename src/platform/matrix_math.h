#pragma once
// Matrix arithmetic shared by the game's graphics code and the render devices.
// Row vectors (v' = v * M), translation in row 3.
#include "platform/render_types.h"

Matrix matrixMultiply(const Matrix& a, const Matrix& b);  // a then b
bool matrixInvert(const Matrix& m, Matrix* out);          // false when m is singular
Vec3 transformPoint(const Vec3& v, const Matrix& m);      // rows 0..3, no divide by w
Vec3 transformDirection(const Vec3& v, const Matrix& m);  // the upper 3x3 only
// The inverse transpose of the upper 3x3, which keeps normals perpendicular to scaled
// surfaces, into out's upper 3x3; false, with out untouched, when that part is singular.
bool normalMatrix(const Matrix& m, Matrix* out);
