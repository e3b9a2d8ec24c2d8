// CGUIElement, the base class of every GUI element: string ID, place in the
// tree, the common parameters and commands, the absolute state a parent hands
// down every frame, the z-ordered child list and the virtual operations the
// GUI manager drives. Also the root class "desktop".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "m2dgui_datatypes.h"
#include "m2dgui_params.h"

// The four state textures of buttons and scroll bars fill each other in: the
// normal texture stands for every state still unset, and the selected and
// pressed looks stand for each other. fp_iParam is one of "texture",
// "texture_normal", "texture_disabled", "texture_selected", "texture_pressed".
struct TGUIStateTextures {
  std::int32_t* normal;
  std::int32_t* disabled;
  std::int32_t* selected;
  std::int32_t* pressed;

  void Set(std::int32_t fp_iParam, std::int32_t fp_iTexture) const {
    switch (fp_iParam) {
      case GUIPARAM_TEXTURE_DISABLED: *disabled = fp_iTexture; break;
      case GUIPARAM_TEXTURE_SELECTED:
        *selected = fp_iTexture;
        if (*pressed == -1) *pressed = fp_iTexture;
        break;
      case GUIPARAM_TEXTURE_PRESSED:
        *pressed = fp_iTexture;
        if (*selected == -1) *selected = fp_iTexture;
        break;
      default:  // "texture", "texture_normal"
        *normal = fp_iTexture;
        if (*disabled == -1) *disabled = fp_iTexture;
        if (*selected == -1) *selected = fp_iTexture;
        if (*pressed == -1) *pressed = fp_iTexture;
        break;
    }
  }
};

class CGUIElement {
 public:
  explicit CGUIElement(const char* fp_pszID);
  CGUIElement(const CGUIElement&) = delete;
  CGUIElement& operator=(const CGUIElement&) = delete;

  // {==== Virtual operations (slot order) =====================================
  virtual ~CGUIElement();
  // Called once by AddNewElement. A second, different parent throws (type
  // Game) "Error in setting GUI element parent: possible element
  // dublication!"; the element is appended to the parent's child list.
  virtual void SetParent(CGUIElement* fp_pParent);
  // Updates the children with this element's absolute state, in list order,
  // when this element is visible or enabled.
  virtual void UpdateChildren();
  // Each class handles its own IDs and passes the others to its base class;
  // the base throws (type Game) for an ID nobody handled.
  virtual void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue);
  virtual CGUIValue GetParam(std::int32_t fp_iID);
  virtual void ExecuteCommand(std::int32_t fp_iCommand);
  // The base does nothing.
  virtual void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                      bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                      float fp_fOffsetY);
  // The base does nothing.
  virtual void Draw();
  // }====

  // {==== Helpers of the classes ==============================================
  // Bubble sort of the children into ascending z-order (stable).
  void SortChildren();
  // Draws the children in list order when this element is visible.
  void DrawChildren();
  // Makes this element's tip the manager's current tip when this element is
  // visible, has a tip and is under the mouse.
  void CheckTip();
  // The cursor inside absRect.
  bool IsMouseOver() const;
  // absColor = color x parent colour; absRect position = parent position +
  // coords - offset; absVisible / absEnabled = own and parent's.
  void ComputeAbsolute(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                       bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                       float fp_fOffsetY);
  // The walk of UpdateChildren with another colour handed down (buttons tint
  // their children by state). Same visibility rule, same walk by position.
  void UpdateChildrenWithColor(const GUIRECT& fp_rColor);

  const std::string& GetID() const { return id; }
  CGUIElement* GetParent() const { return parent; }
  int GetChildCount() const { return static_cast<int>(children.size()); }
  // Null outside 0 to count-1.
  CGUIElement* GetChild(int fp_iIndex) const;

  // The cursor in back-buffer pixels, as floats.
  static GUIPOINT GetMousePos();
  // A parameter naming a texture: a string is demanded (loaded if needed),
  // any other value is the integer ID itself (its float truncated).
  static std::int32_t ValueToTextureID(const CGUIValue& fp_rValue);
  // The same for sounds (M2DUTIL_DemandSound) and fonts (M2DUTIL_DemandFont).
  static std::int32_t ValueToSoundID(const CGUIValue& fp_rValue);
  static std::int32_t ValueToFontID(const CGUIValue& fp_rValue);
  // A technique by name (GFX_TechGetIID: -1 after a log entry when it is not
  // loaded), any other value its float truncated.
  static std::int32_t ValueToTechniqueID(const CGUIValue& fp_rValue);
  // The float of the value as an integer (truncated, saturated, NaN 0).
  static std::int32_t ValueToInt(const CGUIValue& fp_rValue);
  // Plays a sound with the GUI's arguments (no loop, default frequency,
  // volume and pan) when the ID is not -1.
  static void PlayGUISound(std::int32_t fp_iSoundID);
  // }====

  // {==== Fields ==============================================================
  std::string id;
  CGUIElement* parent = nullptr;
  // Not owning: the manager owns every element. Order = update and draw order.
  std::vector<CGUIElement*> children;
  std::int32_t zorder = 0;
  GUIRECT coords;
  std::int32_t technique = -1;
  std::int32_t texture = -1;
  // Red, green, blue, alpha. Every class that draws or hands it down sets it
  // to white in its constructor; the base leaves it at white too.
  GUIRECT color{1.0f, 1.0f, 1.0f, 1.0f};
  bool visible = false;
  bool enabled = false;
  // Element ID of this element's tip, -1 = none.
  std::int32_t tip = -1;
  std::int32_t tag = 0;
  // Absolute state, recomputed by Update. absRect's width and height are
  // always those of coords.
  GUIRECT absColor{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT absRect;
  bool absVisible = false;
  bool absEnabled = false;
  // }====

 protected:
  [[noreturn]] void ThrowUnknownParam(std::int32_t fp_iID) const;
  [[noreturn]] void ThrowUnreadableParam(std::int32_t fp_iID) const;
  [[noreturn]] void ThrowUnknownCommand(std::int32_t fp_iCommand) const;
};

// {==== The desktop ==========================================================
// The root element "DESKTOP": covers the screen, visible and enabled, draws
// nothing of its own and ignores what it is handed in Update.
class CGUIDesktop : public CGUIElement {
 public:
  explicit CGUIDesktop(const char* fp_pszID);
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  void Draw() override;
};
// }====
