#include "skin/data/sMessages.h"

#include "framework/core/StrUtils.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"

std::string_view SkinMessageName(std::uint32_t message) {
  switch (message) {
    case SKM_SETBGCHANGED: return "SKM_SETBGCHANGED";
    case SKM_NEWSKIN: return "SKM_NEWSKIN";
    case SKM_REMOVESKIN: return "SKM_REMOVESKIN";
    case SKM_GETPROVIDER: return "SKM_GETPROVIDER";
    case SKM_REPAINT: return "SKM_REPAINT";
    case SKM_GETCACHE: return "SKM_GETCACHE";
    case SKM_PARENTUPDATED: return "SKM_PARENTUPDATED";
    case SKM_UPDATESECTION: return "SKM_UPDATESECTION";
    case SKM_ISHANDLED: return "SKM_ISHANDLED";
    case SKM_DROPPEDDOWN: return "SKM_DROPPEDDOWN";
    case SKM_SETUPDATING: return "SKM_SETUPDATING";
    case SKM_URGENTPAINT: return "SKM_URGENTPAINT";
    case SKM_STOPFADING: return "SKM_STOPFADING";
    case SKM_GETUPDATING: return "SKM_GETUPDATING";
    case SKM_GETHALFVISIBLE: return "SKM_GETHALFVISIBLE";
    case SKM_SETLINKEDCONTROL: return "SKM_SETLINKEDCONTROL";
    case SKM_PARENTCHANGED: return "SKM_PARENTCHANGED";
    case SKM_GETSKININDEX: return "SKM_GETSKININDEX";
    default: return {};
  }
}

std::string_view DefaultSection(std::int32_t kind) {
  switch (kind) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 41: case 76: case 78: case 83: case 84:
    case 96: case 97: case 131: case 140: case 227:
      return "EDIT";
    case 11: case 12: case 13: case 14: case 15: case 16: case 17: case 18: case 81: case 82:
      return "COMBOBOX";
    case 32: return "CHECKBOX";
    case 33: return "RADIOBUTTON";
    case 51: case 59: case 68: case 73: return "PANEL";
    case 54: case 60: return "TOOLBAR";
    case 56: return "DRAGBAR";
    case 57: return "TABSHEET";
    case 58: return "PANEL_LOW";
    case 74: case 226: return "GROUPBOX";
    case 75: return "SPLITTER";
    case 92: case 95: return "SPEEDBUTTON";
    case 93: case 94: return "BUTTON";
    case 98: return "TOOLBUTTON";
    case 141: return "PAGECONTROL";
    case 143: return "TABCONTROL";
    case 151: return "STATUSBAR";
    case 161: return "GAUGE";
    case 165: return "TRACKBAR";
    default: return {};
  }
}

void TsSkinState::UpdateIndexes() {
  BackgroundChanged = true;
  SkinIndex = GetSkinIndex(SkinSection);
  // A section the skin lacks has no border either: an index kept from the previous skin would
  // point into arrays that have been rebuilt.
  BorderIndex = SkinIndex >= 0 ? GetMaskIndex(SkinIndex, SkinSection, "BORDERSMASK") : -1;
}

bool TsSkinState::BgCanBeChanged() const {
  return IsValidSkinIndex(SkinIndex) && gd[static_cast<std::size_t>(SkinIndex)].GradientPercent > 0;
}

bool TsSkinState::BgIsTransparent() const {
  return IsValidSkinIndex(SkinIndex) && gd[static_cast<std::size_t>(SkinIndex)].Transparency > 0;
}

TsSkinState::TAnswer TsSkinState::Handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  TAnswer answer;
  answer.Handled = true;
  switch (message) {
    case SKM_SETBGCHANGED:
      BackgroundChanged = lParam != 0;
      break;
    case SKM_NEWSKIN:
      // Indexes only: the rest of the skin (ConstData) is not consistent yet, so no painting.
      Updating = true;
      UpdateIndexes();
      break;
    case SKM_REMOVESKIN:
      if (OwnerDestroying()) break;
      BorderIndex = -1;
      SkinIndex = -1;
      Updating = true;
      answer.Reaction = TsSkinReaction::srPaintUnskinned;
      break;
    case SKM_REPAINT:
      BackgroundChanged = true;
      Updating = false;
      answer.Reaction = TsSkinReaction::srInvalidate;
      break;
    case SKM_PARENTUPDATED:
      // Controls that show their parent through add their own repaint.
      answer.Result = 0;
      break;
    case SKM_UPDATESECTION:
      if (UpperCase(SkinSection) == GlobalSectionName) {
        BackgroundChanged = true;
        answer.Reaction = TsSkinReaction::srRepaintNow;
      }
      break;
    case SKM_SETUPDATING:
      Updating = lParam != 0;
      break;
    case SKM_URGENTPAINT: {
      const bool start = (wParam & 0xFF) != 0;
      if (start && !UrgentPainting) answer.Reaction = TsSkinReaction::srRebuildCache;
      UrgentPainting = start;
      break;
    }
    case SKM_GETUPDATING:
      answer.Result = (BackgroundChanged || Updating) ? 1 : 0;
      break;
    case SKM_GETHALFVISIBLE:
      answer.Result = PartlyHidden ? 1 : 0;
      break;
    case SKM_SETLINKEDCONTROL:
      PaintTarget = lParam;
      break;
    case SKM_PARENTCHANGED:
      if (BgIsTransparent()) BackgroundChanged = true;
      answer.Result = 0;
      break;
    case SKM_GETSKININDEX:
      answer.Result = SkinIndex + 1;
      break;
    default:
      answer.Handled = false;
      break;
  }
  return answer;
}

TCacheInfo GlobalCacheInfo;
