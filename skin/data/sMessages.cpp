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

void TsSkinState::UpdateIndexes() {
  SkinIndex = GetSkinIndex(SkinSection);
  BorderIndex = GetMaskIndex(SkinIndex, SkinSection, "BORDERSMASK");
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
      if (Destroying) break;
      SkinIndex = -1;
      BorderIndex = -1;
      Updating = true;
      CacheWidth = 0;
      CacheHeight = 0;
      answer.Reaction = TsSkinReaction::srPaintUnskinned;
      break;
    case SKM_REPAINT:
      BackgroundChanged = true;
      Updating = false;
      answer.Reaction = TsSkinReaction::srInvalidate;
      break;
    case SKM_PARENTUPDATED:
      if (Transparent) {
        BackgroundChanged = true;
        answer.Reaction = TsSkinReaction::srInvalidate;
      }
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
      const bool start = wParam != 0;
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
      if (Transparent) BackgroundChanged = true;
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
