#include "Widgets/SWidget.h"

#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SLeafWidget.h"
#include "Widgets/SNullWidget.h"

void SWidget::SWidgetConstruct(const FSlateBaseNamedArgs& Args)
{
	if (Args._IsEnabled.IsSet())
	{
		EnabledState = Args._IsEnabled;
	}
}

void SWidget::SetDebugInfo(const ANSICHAR* InType, const ANSICHAR*, int32)
{
	TypeOfWidget = FName(InType);
}

namespace
{
	class SNullWidgetContent final : public SLeafWidget
	{
	public:
		SNullWidgetContent() { SetDebugInfo("SNullWidget", __FILE__, __LINE__); }
	};
} // namespace

const TSharedRef<SWidget>& UE::Slate::Private::GetNullWidget()
{
	static const TSharedRef<SWidget> Instance = MakeShared<SNullWidgetContent>();
	return Instance;
}

TSharedRef<SWidget> SNullWidget::NullWidget = UE::Slate::Private::GetNullWidget();
