// Built by ctest, one case at a time: a box's slots are read as that box's own slot type. The slot types of the boxes
// and of SBoxPanel are siblings, as in the engine, so a vertical box's slot read as a panel's slot must not compile.
#include "Widgets/SBoxPanel.h"

FMargin ReadPadding(const SVerticalBox& Rows)
{
#if defined(TRL_CASE_PANEL_SLOT)
	const SBoxPanel::FSlot& Slot = static_cast<const SBoxPanel::FSlot&>(Rows.GetSlot(0));
#else
	const SVerticalBox::FSlot& Slot = Rows.GetSlot(0);
#endif
	return Slot.GetPadding();
}
