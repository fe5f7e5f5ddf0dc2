#pragma once

// A screen record as the foundation passes it on: the application's delegate answers screen
// ids with records and takes the link of the screen that asks; both classes live in the
// grid layer.
class ScreenRecord {
public:
    virtual ~ScreenRecord();
};

// One link of the breadcrumb of screens (see ScreenRecord).
class ScreenLink {
public:
    virtual ~ScreenLink();
};
