#include "gl_api.h"
#include "sheet.h"

namespace solvane {

void Sheet::draw() const {
    glPushMatrix();
    glTranslatef(0.2f * coef[0], 0.2f * coef[1], 1.6f);
    for (int i = 0; i < n_; ++i) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= n_; ++j) {
            for (const SheetPoint* p : {&point(i + 1, j), &point(i, j)}) {
                // Glow 0 gives a colour of at most 0: the point adds nothing.
                glColor3f(red + p->glow - 1.0f, green + p->glow - 1.0f, blue + p->glow - 1.0f);
                glVertex3f(p->u, p->v, p->glow);
            }
        }
        glEnd();
    }
    glPopMatrix();
}

} // namespace solvane
