#pragma once

namespace solvane {

class Vec3 {
public:
    Vec3() {} // components deliberately left uninitialised
    Vec3(const Vec3&) = default;
    Vec3& operator=(const Vec3&) = default;
    virtual ~Vec3() = default;

    void set(float nx, float ny, float nz) {
        x = nx;
        y = ny;
        z = nz;
    }

    // Scales to unit length and returns the old length; a zero vector
    // becomes (0, 1, 0) and 0 is returned.
    float normalize();

    // This vector becomes a x b.
    void cross(Vec3 a, Vec3 b);

    float x, y, z;
};

} // namespace solvane
