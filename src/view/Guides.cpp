#include "view/Guides.h"

namespace view {

void Guides::headUpTo10() {
    guideFrom11 = false;
    shapeVisible = shape1Visible = true;
    shape = {30, 66, 58, 76};
}

void Guides::headFrom11() {
    guideFrom11 = true;
    shapeVisible = shape1Visible = true;
    shape = {30, 48, 58, 94};
}

void Guides::eyesUpTo10() {
    lineHor1 = {0, 84, 127, 84};
    lineHor2 = {0, 88, 127, 88};
    lineVertMiddenVisible = lineHor1Visible = lineHor2Visible = true;
}

void Guides::eyesFrom11() {
    lineHor1 = {0, 80, 127, 80};
    lineHor2 = {0, 84, 127, 84};
    lineVertMiddenVisible = lineHor1Visible = lineHor2Visible = true;
}

void Guides::clear() {
    lineVertMiddenVisible = lineHor1Visible = lineHor2Visible = false;
    shapeVisible = shape1Visible = false;
}

void Guides::followMouse(int x, int y) {
    // Both boxes share their left edge and their bottom edge (y + 109).
    shape = guideFrom11 ? Rect{x, y + 17, 60, 92} : Rect{x, y + 34, 60, 75};
    shape1 = {x, y, 73, 109};
}

}  // namespace view
