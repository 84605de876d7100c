#pragma once

namespace skyfetch {

// What the globe view asks of the window that hosts it (the main dialog).
class GlobeHost {
public:
    virtual ~GlobeHost() = default;

    // A land cell was picked on the globe: lon and lat are the signed cell centre.
    // The host refreshes its members from its controls, writes the location
    // (magnitudes, hemisphere flags, texts, empty notice), refreshes its controls and
    // updates the climatology.
    virtual void ApplyPickedLocation(double lon, double lat) = 0;

    // An arrow key was pressed while the globe had the focus (a Qt::Key value).
    virtual void OnGlobeArrowKey(int key) = 0;

    // Moves the keyboard focus to the globe (so the arrow keys reach it).
    virtual void FocusGlobe() = 0;

    // A click on the globe fell on a cell that is not land (sea, ice, or land without
    // climate data); the selection stays as it was. The host says so briefly at the
    // pointer, at screen point (globalX, globalY).
    virtual void ShowNotLandAt(int globalX, int globalY) = 0;
};

} // namespace skyfetch
