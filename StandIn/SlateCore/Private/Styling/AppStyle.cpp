#include "Styling/AppStyle.h"

#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreGlobals.h"
#include "Logging/LogMacros.h"
#include "Textures/SlateIcon.h"

DEFINE_LOG_CATEGORY_STATIC(LogSlateStyle, Log, All);

namespace
{
	/** The editor's style set: the brushes that editor menus, windows and notifications ask for by name. */
	class FEditorAppStyle final : public ISlateStyle
	{
	public:
		FEditorAppStyle()
		    : StyleSetName(TEXT("EditorStyle"))
		    , DefaultBrush(FName(TEXT("Default")))
		{
			static const TCHAR* const KnownBrushes[] = {
			    TEXT("Border"),
			    TEXT("Brushes.Panel"),
			    TEXT("Brushes.Recessed"),
			    TEXT("ToolPanel.GroupBorder"),
			    TEXT("ToolPanel.DarkGroupBorder"),
			    TEXT("Menu.Background"),
			    TEXT("NotificationList.ItemBackground"),
			    TEXT("NotificationList.SuccessImage"),
			    TEXT("NotificationList.FailImage"),
			    TEXT("Icons.Plus"),
			    TEXT("Icons.Folder"),
			    TEXT("Icons.FolderOpen"),
			    TEXT("Icons.Save"),
			    TEXT("Icons.Upload"),
			    TEXT("Icons.Download"),
			    TEXT("Icons.Package"),
			    TEXT("Icons.Warning"),
			    TEXT("Icons.Error"),
			    TEXT("Icons.Info"),
			    TEXT("MainFrame.PackageProject"),
			    TEXT("MainFrame.CookContent"),
			    TEXT("LevelEditor.Tabs.Modes"),
			};
			for (const TCHAR* Name : KnownBrushes)
			{
				Brushes.Add(FName(Name), FSlateBrush(FName(Name)));
			}
		}

		const FName& GetStyleSetName() const override { return StyleSetName; }

		const FSlateBrush* GetBrush(const FName PropertyName, const ANSICHAR* Specifier, const ISlateStyle*) const override
		{
			const FName Key = Specifier ? FName(PropertyName.ToString() + FString(Specifier)) : PropertyName;
			const FSlateBrush* Found = Brushes.Find(Key);
			return Found ? Found : &DefaultBrush;
		}

		const FSlateBrush* GetDefaultBrush() const override { return &DefaultBrush; }

	private:
		FName StyleSetName;
		FSlateBrush DefaultBrush;
		TMap<FName, FSlateBrush> Brushes;
	};

	const FEditorAppStyle& GetEditorAppStyle()
	{
		static const FEditorAppStyle Style;
		return Style;
	}
} // namespace

const ISlateStyle& FAppStyle::Get()
{
	// The editor registers its style set as it starts its Slate application, which a commandlet never does: there
	// the engine has no style to give. The stand-in answers, but says so, so that headless code that asks shows.
	if (IsRunningCommandlet())
	{
		UE_LOG(LogSlateStyle, Error,
		       TEXT("FAppStyle::Get() was called in a commandlet, which has no Slate application and no style set. Keep style "
		            "lookups out of code that runs headless."));
	}
	return GetEditorAppStyle();
}

const FSlateBrush* FAppStyle::GetBrush(FName PropertyName, const ANSICHAR* Specifier)
{
	return Get().GetBrush(PropertyName, Specifier);
}

FName FAppStyle::GetAppStyleSetName()
{
	return Get().GetStyleSetName();
}

const FSlateBrush* FSlateIcon::GetIcon() const
{
	if (!bIsSet)
	{
		return nullptr;
	}
	// The application style is the only style set registered in the stand-in.
	const ISlateStyle& Style = FAppStyle::Get();
	return StyleSetName == Style.GetStyleSetName() ? Style.GetBrush(StyleName) : Style.GetDefaultBrush();
}
