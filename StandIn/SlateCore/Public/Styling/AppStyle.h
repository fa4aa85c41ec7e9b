// FAppStyle: the application's current style set, where editor widgets and plug-ins find their brushes.
#pragma once

#include "CoreTypes.h"
#include "Styling/ISlateStyle.h"

class FAppStyle
{
public:
	/** @return the application's style set. */
	static const ISlateStyle& Get();

	/** @return the named brush of the application style; its default brush (never null) when the name is unknown. */
	static const FSlateBrush* GetBrush(FName PropertyName, const ANSICHAR* Specifier = nullptr);

	/** @return the name under which the application style is registered. */
	static FName GetAppStyleSetName();
};
