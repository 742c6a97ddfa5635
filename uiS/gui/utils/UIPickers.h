// Pickers of the current object a command needs: the current one, else the only live candidate
// (made current), else the user's choice in "Select Model" (made current). A null answer means
// the caller refuses its command with its own message.
//
// UIPickOptModel and UINewestJob are declared with the frame's services (CadUiServices.h).
#pragma once
#include "cadInterface/CadUiServices.h"

class AnlModel;
class AttLbcCase;
class OptResultCase;

AnlModel* UIPickCurrentModel();
AttLbcCase* UIPickLoadCase();
AttLbcCase* UIPickRestraintCase();
// The current optimisation model's current result case, else its only finished live one, else
// the user's choice among those; made current and its data loaded when not yet.
OptResultCase* UIPickOptResultCase();

class CaeGraph;
// Opens a Graph window for `graph`, which the window owns from then on (a null graph is a
// consistency failure). A graph the window cannot show is freed with the half-made window.
void UIShowGraphWindow(CaeGraph* graph);
