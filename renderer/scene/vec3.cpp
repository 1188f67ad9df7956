#include "scene/vec3.h"

#include <cmath>

namespace solvane {

float Vec3::normalize() {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) {
        y = 1.0f;
        return 0.0f;
    }
    const float inverse = 1.0f / length;
    x *= inverse;
    y *= inverse;
    z *= inverse;
    return length;
}

void Vec3::cross(Vec3 a, Vec3 b) {
    x = a.y * b.z - b.y * a.z;
    y = b.x * a.z - a.x * b.z;
    z = a.x * b.y - b.x * a.y;
}

} // namespace solvane
