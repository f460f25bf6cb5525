#pragma once

class FrmDoc;

// Options > Character Mode of one document window: its check mark is the
// window's flag, its status panel shows "CCM" while it is on, and the typing
// hook of the window's text control replaces keys through the key table.
namespace charactermode {

// Wires the menu entry and the typing hook; the mode starts off.
void attach(FrmDoc &window);

bool isOn(const FrmDoc &window);

} // namespace charactermode
