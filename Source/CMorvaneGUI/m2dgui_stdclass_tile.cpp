// The element class "tile": a textured rectangle drawn with one of eight
// schemes that stretch the texture whole, in three slices or in nine, so that
// frames and bars keep their borders at any size.
static constexpr int kM2DFileID = 312;

#include <string>

#include "cmorvane.h"
#include "m2dgui_stdclass_tile.h"
#include "m2dgui_stdclasses.h"

CGUITile::CGUITile(const char* fp_pszID) : CGUIElement(fp_pszID) {
  M2D_CHECKPOINT;
  color = GUIRECT{1.0f, 1.0f, 1.0f, 1.0f};
}

void CGUITile::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_DRAWSCHEME:
      drawscheme = ValueToInt(fp_rValue);
      break;
    case GUIPARAM_DRAWPARAMS: {
      const GUIRECT& tmp_rParams = fp_rValue.GetRect();
      textureWidth = tmp_rParams.x;
      textureHeight = tmp_rParams.y;
      borderX = tmp_rParams.width;
      borderY = tmp_rParams.height;
      // "!(x > 0)" also refuses NaN, which would otherwise reach the fractions.
      if (!(textureWidth > 0.0f)) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid tile texture width!");
      if (!(textureHeight > 0.0f)) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid tile texture height!");
      borderU = borderX / textureWidth;
      borderV = borderY / textureHeight;
      break;
    }
    case GUIPARAM_TEXCOORDS:
      texcoords = fp_rValue.GetRect();
      break;
    default:
      CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUITile::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_DRAWSCHEME: return CGUIValue(static_cast<float>(drawscheme));
    case GUIPARAM_DRAWPARAMS:
      return CGUIValue(GUIRECT{textureWidth, textureHeight, borderX, borderY});
    case GUIPARAM_TEXCOORDS: return CGUIValue(texcoords);
    default: return CGUIElement::GetParam(fp_iID);
  }
}

void CGUITile::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                      bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                      float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  CheckTip();
  UpdateChildren();
}

void CGUITile::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (technique != -1) tmp_pEngine->GFX_TechApply(technique);
  // Without a texture of its own the tile draws with whatever stage 0 holds.
  if (texture != -1) tmp_pEngine->GFX_TexSet(texture, 0);
  tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
  DrawScheme(absRect);
  DrawChildren();
}

namespace {

// One piece: texture coordinates of set 1, the screen rectangle at depth 0.5,
// and the render call that queues it.
void DrawPiece(CMorvane* fp_pEngine, float fp_fU0, float fp_fV0, float fp_fU1, float fp_fV1,
               float fp_fX, float fp_fY, float fp_fW, float fp_fH) {
  M2D_CHECKPOINT;
  fp_pEngine->GFX_VQuadSetTexCoords(1, fp_fU0, fp_fV0, fp_fU1, fp_fV1);
  fp_pEngine->GFX_VQuadSetPos(fp_fX, fp_fY, fp_fW, fp_fH, 0.5f);
  fp_pEngine->GFX_SceneRender();
}

}  // namespace

void CGUITile::DrawScheme(const GUIRECT& fp_rRect) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  const float x = fp_rRect.x;
  const float y = fp_rRect.y;
  const float w = fp_rRect.width;
  const float h = fp_rRect.height;
  const float bx = borderX;
  const float by = borderY;
  const float fu = borderU;
  const float fv = borderV;
  switch (drawscheme) {
    case GUITILE_SCHEME_WHOLE:
      DrawPiece(tmp_pEngine, texcoords.x, texcoords.y, texcoords.width, texcoords.height, x, y,
                w, h);
      break;
    case GUITILE_SCHEME_HORZ3:
      DrawPiece(tmp_pEngine, 0.0f, 0.0f, fu, 1.0f, x, y, bx, h);
      DrawPiece(tmp_pEngine, fu, 0.0f, 1.0f - fu, 1.0f, x + bx, y, w - 2.0f * bx, h);
      DrawPiece(tmp_pEngine, 1.0f - fu, 0.0f, 1.0f, 1.0f, x + w - bx, y, bx, h);
      break;
    case GUITILE_SCHEME_VERT3:
      DrawPiece(tmp_pEngine, 0.0f, 0.0f, 1.0f, fv, x, y, w, by);
      DrawPiece(tmp_pEngine, 0.0f, fv, 1.0f, 1.0f - fv, x, y + by, w, h - 2.0f * by);
      DrawPiece(tmp_pEngine, 0.0f, 1.0f - fv, 1.0f, 1.0f, x, y + h - by, w, by);
      break;
    case GUITILE_SCHEME_NINE:
    case GUITILE_SCHEME_FRAME:
      // Top row.
      DrawPiece(tmp_pEngine, 0.0f, 0.0f, fu, fv, x, y, bx, by);
      DrawPiece(tmp_pEngine, fu, 0.0f, 1.0f - fu, fv, x + bx, y, w - 2.0f * bx, by);
      DrawPiece(tmp_pEngine, 1.0f - fu, 0.0f, 1.0f, fv, x + w - bx, y, bx, by);
      // Middle row; the frame leaves the centre out.
      DrawPiece(tmp_pEngine, 0.0f, fv, fu, 1.0f - fv, x, y + by, bx, h - 2.0f * by);
      if (drawscheme == GUITILE_SCHEME_NINE)
        DrawPiece(tmp_pEngine, fu, fv, 1.0f - fu, 1.0f - fv, x + bx, y + by, w - 2.0f * bx,
                  h - 2.0f * by);
      DrawPiece(tmp_pEngine, 1.0f - fu, fv, 1.0f, 1.0f - fv, x + w - bx, y + by, bx,
                h - 2.0f * by);
      // Bottom row.
      DrawPiece(tmp_pEngine, 0.0f, 1.0f - fv, fu, 1.0f, x, y + h - by, bx, by);
      DrawPiece(tmp_pEngine, fu, 1.0f - fv, 1.0f - fu, 1.0f, x + bx, y + h - by, w - 2.0f * bx,
                by);
      DrawPiece(tmp_pEngine, 1.0f - fu, 1.0f - fv, 1.0f, 1.0f, x + w - bx, y + h - by, bx, by);
      break;
    case GUITILE_SCHEME_NONE:
      break;
    case GUITILE_SCHEME_HORZ3_MIDDLE:
      DrawPiece(tmp_pEngine, 0.0f, fv, fu, 1.0f - fv, x, y, bx, h);
      DrawPiece(tmp_pEngine, fu, fv, 1.0f - fu, 1.0f - fv, x + bx, y, w - 2.0f * bx, h);
      DrawPiece(tmp_pEngine, 1.0f - fu, fv, 1.0f, 1.0f - fv, x + w - bx, y, bx, h);
      break;
    case GUITILE_SCHEME_VERT3_MIDDLE:
      DrawPiece(tmp_pEngine, fu, 0.0f, 1.0f - fu, fv, x, y, w, by);
      DrawPiece(tmp_pEngine, fu, fv, 1.0f - fu, 1.0f - fv, x, y + by, w, h - 2.0f * by);
      DrawPiece(tmp_pEngine, fu, 1.0f - fv, 1.0f - fu, 1.0f, x, y + h - by, w, by);
      break;
    default:
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Invalid drawing scheme. Scheme ID = " + std::to_string(drawscheme) +
                    " Element ID = " + id);
  }
}

CGUIElement* M2DGUI_CreateTile(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUITile(fp_pszID);
}
