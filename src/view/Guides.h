#pragma once

#include "raster/AgeGroup.h"
#include "view/ViewGeometry.h"

namespace view {

using raster::AgeGroup;

struct Line {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    friend bool operator==(const Line&, const Line&) = default;
};

// The guide overlays over the passport photo: two nested head boxes (Shape1 outside, Shape
// inside), the eye band (LineHor1, LineHor2) and the vertical centre line, in one version for
// children up to 10 years and one for persons from 11 years. They are drawn over the photo,
// never into it. Coordinates are passport-photo pixels.
struct Guides {
    bool guideFrom11 = true;  // which head guide was chosen last

    Rect shape1{30, 33, 73, 109};  // outer head box
    Rect shape{30, 48, 58, 94};    // inner head box
    Line lineHor1{0, 80, 127, 80};
    Line lineHor2{0, 84, 127, 84};
    Line lineVertMidden{63, 0, 63, 163};

    bool shape1Visible = false;
    bool shapeVisible = false;
    bool lineHor1Visible = false;
    bool lineHor2Visible = false;
    bool lineVertMiddenVisible = false;

    // Knop1: head size up to 10 years. The outer box stays where it is.
    void headUpTo10();
    // Knop2: head size from 11 years.
    void headFrom11();
    // Knop3: eye band up to 10 years (rows 84-88).
    void eyesUpTo10();
    // Knop4: eye band from 11 years (rows 80-84).
    void eyesFrom11();
    // KnopClear: hides all five.
    void clear();
    // The mouse over the photo moves both head boxes (shown or not); the lines stay.
    void followMouse(int x, int y);

    // The age group of the head guide chosen last (GuideFrom11).
    AgeGroup ageGroup() const { return guideFrom11 ? AgeGroup::From11 : AgeGroup::UpTo10; }
};

}  // namespace view
