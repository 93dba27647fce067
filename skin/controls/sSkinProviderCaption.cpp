// The provider's caption buttons, hit testing, system menu and outline drag.
#include "skin/controls/sSkinProvider.h"

std::int32_t TsSkinProvider::ButtonWidth() { return 0; }

std::int32_t TsSkinProvider::ButtonHeight() { return 0; }

std::int32_t TsSkinProvider::ButtonsCount() { return 0; }

std::int32_t TsSkinProvider::BarWidth(std::int32_t) { return 0; }

void TsSkinProvider::PaintBorderIcons() {}

void TsSkinProvider::RepaintButton(std::int32_t) {}

std::int32_t TsSkinProvider::HTProcess(TMessage&) { return 0; }

void TsSkinProvider::SetHotHT(std::int32_t) {}

void TsSkinProvider::SetPressedHT(std::int32_t) {}

void TsSkinProvider::DropSysMenu(std::int32_t, std::int32_t) {}

TPoint TsSkinProvider::RBGripPoint(std::int32_t) { return TPoint{0, 0}; }

bool TsSkinProvider::AboveBorder(TMessage&) { return false; }

void TsSkinProvider::StartMove(std::int32_t, std::int32_t) {}

void TsSkinProvider::StopMove(std::int32_t, std::int32_t) {}

void TsSkinProvider::DrawFormBorder(std::int32_t, std::int32_t) {}

bool TsSkinProvider::CaptionMouseMessage(TMessage&) { return false; }
