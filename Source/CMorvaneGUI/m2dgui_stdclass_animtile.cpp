// The "animtile" class: the frame, colour, location, scale and angle of the
// tile follow the phase of its cycle. The cycle runs while the tile is
// enabled (with or without its parent's enabled state); at its end it
// starts again, holds, or, played once, disables and hides the tile.
static constexpr int kM2DFileID = 322;

#include <cmath>

#include "cmorvane.h"
#include "cmorvane_utils_demand.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_animtile.h"
#include "m2dgui_stdclass_window.h"
#include "m2dgui_stdclasses.h"

CGUIAnimTile::CGUIAnimTile(const char* fp_pszID) : CGUITile(fp_pszID) { M2D_CHECKPOINT; }

void CGUIAnimTile::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COLOR_BEGIN: colorBegin = fp_rValue.GetRect(); break;
    case GUIPARAM_COLOR_MIDDLE: colorMiddle = fp_rValue.GetRect(); break;
    case GUIPARAM_COLOR_END: colorEnd = fp_rValue.GetRect(); break;
    case GUIPARAM_LOCATION_BEGIN: locationBegin = fp_rValue.GetPoint(); break;
    case GUIPARAM_LOCATION_MIDDLE: locationMiddle = fp_rValue.GetPoint(); break;
    case GUIPARAM_LOCATION_END: locationEnd = fp_rValue.GetPoint(); break;
    case GUIPARAM_LOCATION_CENTER: locationCenter = fp_rValue.GetPoint(); break;
    case GUIPARAM_SCALE_BEGIN: scaleBegin = fp_rValue.GetFloat(); break;
    case GUIPARAM_SCALE_MIDDLE: scaleMiddle = fp_rValue.GetFloat(); break;
    case GUIPARAM_SCALE_END: scaleEnd = fp_rValue.GetFloat(); break;
    case GUIPARAM_ANGLE_BEGIN: angleBegin = fp_rValue.GetFloat(); break;
    case GUIPARAM_ANGLE_MIDDLE: angleMiddle = fp_rValue.GetFloat(); break;
    case GUIPARAM_ANGLE_END: angleEnd = fp_rValue.GetFloat(); break;
    case GUIPARAM_ENUM_FRAMES: {
      const CGUIEnum* tmp_pEnum = fp_rValue.GetEnum();
      if (tmp_pEnum == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "CGUIEnum pointer is NULL!");
      frames.clear();
      for (int i = 0; i < tmp_pEnum->GetCount(); ++i) {
        const int tmp_iTexture = M2DUTIL_DemandTexture(tmp_pEnum->GetValue(i).c_str());
        if (tmp_iTexture < 0) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid texture ID!");
        frames.push_back(tmp_iTexture);
      }
      break;
    }
    case GUIPARAM_TIME_ANIMCYCLE:
      cycleTime = fp_rValue.GetFloat();
      // The cycle divides the timer and is subtracted from it: a cycle of no
      // length (or NaN) takes the shortest one instead.
      if (!(cycleTime > 0.0f)) cycleTime = 0.001f;
      animTimer = 0.0f;
      break;
    case GUIPARAM_LOOPED: looped = fp_rValue.GetBool(); break;
    case GUIPARAM_NOPARENTENABLED: noParentEnabled = fp_rValue.GetBool(); break;
    default: CGUITile::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIAnimTile::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COLOR_BEGIN: return CGUIValue(colorBegin);
    case GUIPARAM_COLOR_MIDDLE: return CGUIValue(colorMiddle);
    case GUIPARAM_COLOR_END: return CGUIValue(colorEnd);
    case GUIPARAM_LOCATION_BEGIN: return CGUIValue(locationBegin);
    case GUIPARAM_LOCATION_MIDDLE: return CGUIValue(locationMiddle);
    case GUIPARAM_LOCATION_END: return CGUIValue(locationEnd);
    case GUIPARAM_LOCATION_CENTER: return CGUIValue(locationCenter);
    case GUIPARAM_SCALE_BEGIN: return CGUIValue(scaleBegin);
    case GUIPARAM_SCALE_MIDDLE: return CGUIValue(scaleMiddle);
    case GUIPARAM_SCALE_END: return CGUIValue(scaleEnd);
    case GUIPARAM_ANGLE_BEGIN: return CGUIValue(angleBegin);
    case GUIPARAM_ANGLE_MIDDLE: return CGUIValue(angleMiddle);
    case GUIPARAM_ANGLE_END: return CGUIValue(angleEnd);
    case GUIPARAM_TIME_ANIMCYCLE: return CGUIValue(cycleTime);
    case GUIPARAM_LOOPED: return CGUIValue(looped);
    case GUIPARAM_NOPARENTENABLED: return CGUIValue(noParentEnabled);
    default: return CGUITile::GetParam(fp_iID);
  }
}

void CGUIAnimTile::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_ENABLE:
      enabled = true;
      playOnce = false;
      break;
    case GUICMD_PLAYONCE_IFIDLE:
      if (playOnce) break;
      [[fallthrough]];
    case GUICMD_PLAYONCE:
      animTimer = 0.0f;
      playOnce = true;
      enabled = true;
      visible = true;
      break;
    default:
      CGUITile::ExecuteCommand(fp_iCommand);
  }
}

void CGUIAnimTile::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                          bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                          float fp_fOffsetY) {
  M2D_CHECKPOINT;
  absVisible = visible && fp_bParentVisible && !frames.empty();
  absEnabled = enabled && (noParentEnabled || fp_bParentEnabled);
  if (absEnabled) animTimer += CMorvaneGUI::frameDelta;
  if (animTimer >= cycleTime) {
    if (playOnce) {
      animTimer = 0.0f;
      enabled = false;
      absEnabled = false;
      visible = false;
      absVisible = false;
      playOnce = false;
    } else if (looped) {
      // The remainder of repeated subtraction, without looping over it.
      animTimer = std::fmod(animTimer, cycleTime);
    } else {
      // Holds on the last frame.
      animTimer = cycleTime - 0.0001f;
    }
  }
  phase = animTimer / cycleTime;

  absColor = GUI_MultiplyColor(fp_rParentColor, GUI_Curve(colorBegin, colorMiddle, colorEnd, phase));
  const GUIPOINT tmp_Loc = GUI_Curve(locationBegin, locationMiddle, locationEnd, phase);
  absRect.x = tmp_Loc.x + fp_rParentRect.x - fp_fOffsetX;
  absRect.y = tmp_Loc.y + fp_rParentRect.y - fp_fOffsetY;
  centerAbs = GUIPOINT{absRect.x + locationCenter.x, absRect.y + locationCenter.y};
  scale = GUI_Curve(scaleBegin, scaleMiddle, scaleEnd, phase);
  angle = GUI_Curve(angleBegin, angleMiddle, angleEnd, phase);

  // Float rounding (and a cycle shorter than the hold margin) can put the
  // phase at or past either end: the index stays inside the list.
  const std::int32_t tmp_iCount = static_cast<std::int32_t>(frames.size());
  frameIndex = GUI_FloatToInt(static_cast<float>(tmp_iCount) * phase);
  if (frameIndex >= tmp_iCount) frameIndex = tmp_iCount - 1;
  if (frameIndex < 0) frameIndex = 0;

  UpdateChildren();
}

void CGUIAnimTile::Draw() {
  M2D_CHECKPOINT;
  // The frame list may have been replaced since the update.
  if (!absVisible || frames.empty()) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (technique != -1) tmp_pEngine->GFX_TechApply(technique);
  std::int32_t tmp_iFrame = frameIndex;
  if (tmp_iFrame >= static_cast<std::int32_t>(frames.size()))
    tmp_iFrame = static_cast<std::int32_t>(frames.size()) - 1;
  if (tmp_iFrame < 0) tmp_iFrame = 0;
  tmp_pEngine->GFX_TexSet(frames[static_cast<size_t>(tmp_iFrame)], 0);
  tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
  if (drawscheme != GUITILE_SCHEME_WHOLE) {
    DrawScheme(absRect);
  } else {
    tmp_pEngine->GFX_VQuadSetTexCoords(1, texcoords.x, texcoords.y, texcoords.width,
                                       texcoords.height);
    tmp_pEngine->GFX_VQuadSetPos(absRect.x, absRect.y, absRect.width, absRect.height, 0.5f);
    if (scale != 1.0f) tmp_pEngine->GFX_VQuadScale(centerAbs.x, centerAbs.y, scale);
    if (angle != 0.0f) tmp_pEngine->GFX_VQuadRotate(centerAbs.x, centerAbs.y, angle);
    tmp_pEngine->GFX_SceneRender();
  }
  DrawChildren();
}

CGUIElement* M2DGUI_CreateAnimTile(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIAnimTile(fp_pszID);
}
