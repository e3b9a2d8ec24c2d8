// The factories of the sixteen standard element classes, in the order
// RegisterStandardClasses registers them. Each is defined in its class's
// module (m2dgui_stdclass_<class>) and returns a new element, owned by the
// caller, with the given string ID.
#pragma once

class CGUIElement;

CGUIElement* M2DGUI_CreateDesktop(const char* fp_pszID);    // "desktop"
CGUIElement* M2DGUI_CreateTile(const char* fp_pszID);       // "tile"
CGUIElement* M2DGUI_CreateTip(const char* fp_pszID);        // "tip"
CGUIElement* M2DGUI_CreateAdvTile(const char* fp_pszID);    // "advtile"
CGUIElement* M2DGUI_CreateWindow(const char* fp_pszID);     // "window"
CGUIElement* M2DGUI_CreateAnimTile(const char* fp_pszID);   // "animtile"
CGUIElement* M2DGUI_CreateLabel(const char* fp_pszID);      // "label"
CGUIElement* M2DGUI_CreateTextBox(const char* fp_pszID);    // "textbox"
CGUIElement* M2DGUI_CreateButton(const char* fp_pszID);     // "button"
CGUIElement* M2DGUI_CreateCheckBox(const char* fp_pszID);   // "checkbox"
CGUIElement* M2DGUI_CreateVerScroll(const char* fp_pszID);  // "verscroll"
CGUIElement* M2DGUI_CreateHorScroll(const char* fp_pszID);  // "horscroll"
CGUIElement* M2DGUI_CreateListBox(const char* fp_pszID);    // "listbox"
CGUIElement* M2DGUI_CreateScrollBox(const char* fp_pszID);  // "scrollbox"
CGUIElement* M2DGUI_CreateFlex(const char* fp_pszID);       // "flex"
CGUIElement* M2DGUI_CreateTimer(const char* fp_pszID);      // "timer"
