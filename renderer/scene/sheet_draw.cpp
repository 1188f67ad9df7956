#include "scene/gl_api.h"
#include "scene/sheet.h"

namespace solvane {

namespace {
constexpr int floatsPerVertex = 6; // r, g, b, x, y, z
}

void Sheet::draw() const {
    // Strip i runs over j = 0..N, taking point [i+1][j] and then point [i][j].
    // A vertex of glow 0 has every channel at most 0, so a strip triangle
    // whose three vertices have glow 0 adds nothing and is left out; the
    // others keep their strip order and vertex order.
    float* out = stripVertices_.data();
    litTriangles_.clear();
    const int stripLength = 2 * (n_ + 1);
    for (int i = 0; i < n_; ++i) {
        const int first = i * stripLength;
        for (int j = 0; j <= n_; ++j) {
            for (const std::size_t k : {index(i + 1, j), index(i, j)}) {
                const float glow = glow_[k];
                *out++ = red + glow - 1.0f;
                *out++ = green + glow - 1.0f;
                *out++ = blue + glow - 1.0f;
                *out++ = u_[k];
                *out++ = v_[k];
                *out++ = glow;
            }
        }
        for (int k = 0; k + 2 < stripLength; ++k) {
            const int a = first + k;
            const auto glowOf = [&](int vertex) {
                return stripVertices_[static_cast<std::size_t>(vertex) * floatsPerVertex + 5];
            };
            if (glowOf(a) > 0.0f || glowOf(a + 1) > 0.0f || glowOf(a + 2) > 0.0f) {
                // Odd strip triangles are taken as (k + 1, k, k + 2), as a strip would.
                const int even = (k % 2 == 0) ? a : a + 1;
                const int odd = (k % 2 == 0) ? a + 1 : a;
                litTriangles_.insert(litTriangles_.end(),
                                     {static_cast<std::uint16_t>(even), static_cast<std::uint16_t>(odd),
                                      static_cast<std::uint16_t>(a + 2)});
            }
        }
    }

    glPushMatrix();
    glTranslatef(0.2f * coef[0], 0.2f * coef[1], 1.6f);
    constexpr GLsizei stride = floatsPerVertex * sizeof(float);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(3, GL_FLOAT, stride, stripVertices_.data());
    glVertexPointer(3, GL_FLOAT, stride, stripVertices_.data() + 3);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(litTriangles_.size()), GL_UNSIGNED_SHORT, litTriangles_.data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glPopMatrix();
}

} // namespace solvane
