// SLeafWidget: a widget that never has children (text, text boxes).
#pragma once

#include "Layout/Children.h"
#include "Widgets/SWidget.h"

class SLeafWidget : public SWidget
{
public:
	FChildren* GetChildren() override { return &FNoChildren::NoChildrenInstance; }
};
