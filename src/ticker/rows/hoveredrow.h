#pragma once

class DataItemView;

// The one row of the whole program that shows the hover state: a row the pointer enters ends the
// hover state of the row hovered before it. Main thread only.
class HoveredRow {
public:
    // The hovered row; nullptr when there is none or it is gone.
    static DataItemView *current();
    // Makes `row` the hovered row, sending the previous one setInactive().
    static void enter(DataItemView *row);
};
