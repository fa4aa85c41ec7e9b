// Copyright Trellic contributors. All Rights Reserved.

#include "TRLNewModWindow.h"

#include "Editor.h"
#include "Editor/EditorEngine.h"
#include "TRLScopedEditorOverrides.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBorder.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"

#define LOCTEXT_NAMESPACE "TRLEditorMenu"

namespace TRLNewModWindow
{
	/** @return the text in the box without the blanks around it; empty when the box was never made. */
	FString ReadTrimmed(const TSharedPtr<SEditableTextBox>& Box)
	{
		return Box.IsValid() ? Box->GetText().ToString().TrimStartAndEnd() : FString();
	}
} // namespace TRLNewModWindow

bool FTRLNewModWindow::ShowModal()
{
	bCreate = false;
	const TSharedRef<SWindow> Window = MakeWindow();
	// Returns only once the window has gone, so this object, which the Create button holds, outlives every click.
	if (const FTRLShowModalWindow* ShowModalWindow = FTRLScopedModalWindowOverride::Get())
	{
		(*ShowModalWindow)(Window);
	}
	else
	{
		GEditor->EditorAddModalWindow(Window);
	}
	return bCreate;
}

FString FTRLNewModWindow::GetModName() const
{
	return TRLNewModWindow::ReadTrimmed(NameBox);
}

FString FTRLNewModWindow::GetAuthor() const
{
	return TRLNewModWindow::ReadTrimmed(AuthorBox);
}

TSharedRef<SWindow> FTRLNewModWindow::MakeWindow()
{
	const TSharedRef<SWindow> Window =
	    SNew(SWindow).Title(LOCTEXT("NewModTitle", "New Mod")).ClientSize(FVector2D(420, 170)).SupportsMaximize(false).SupportsMinimize(false);
	// The buttons hold the window weakly: a window that kept itself alive through its own content would never go.
	const TWeakPtr<SWindow> WeakWindow = Window;
	const auto CloseWindow = [WeakWindow]() {
		if (const TSharedPtr<SWindow> Pinned = WeakWindow.Pin())
		{
			Pinned->RequestDestroyWindow();
		}
	};

	// clang-format off
	Window->SetContent(
		SNew(SBorder)
		.Padding(12)
		[
			SNew(SVerticalBox)
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 4)
			[
				SNew(STextBlock).Text(LOCTEXT("NameLabel", "Mod name (letters, digits and underscores)"))
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 10)
			[
				SAssignNew(NameBox, SEditableTextBox)
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 4)
			[
				SNew(STextBlock).Text(LOCTEXT("AuthorLabel", "Author"))
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 12)
			[
				SAssignNew(AuthorBox, SEditableTextBox)
			]
			+ SVerticalBox::Slot().AutoHeight().HAlign(HAlign_Right)
			[
				SNew(SHorizontalBox)
				+ SHorizontalBox::Slot().AutoWidth().Padding(0, 0, 8, 0)
				[
					SNew(SButton)
					.Text(LOCTEXT("CreateButton", "Create"))
					.OnClicked_Lambda([this, CloseWindow]()
					{
						bCreate = true;
						CloseWindow();
						return FReply::Handled();
					})
				]
				+ SHorizontalBox::Slot().AutoWidth()
				[
					SNew(SButton)
					.Text(LOCTEXT("CancelButton", "Cancel"))
					.OnClicked_Lambda([CloseWindow]()
					{
						CloseWindow();
						return FReply::Handled();
					})
				]
			]
		]);
	// clang-format on
	return Window;
}

#undef LOCTEXT_NAMESPACE
