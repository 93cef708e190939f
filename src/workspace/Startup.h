#pragma once

// Settings the whole program shares, made once before the first window: the widget style,
// the image reader's limits, the resources.
void prepareApplication();
