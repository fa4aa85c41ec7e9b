// SVerticalBox and SHorizontalBox: panels that stack their slots top to bottom or left to right.
#pragma once

#include "Containers/Array.h"
#include "Layout/BasicLayoutWidgetSlot.h"
#include "Layout/Children.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SWidget.h"

/** How a box slot takes its share of the panel's length. */
enum class ESizeRule : uint8
{
	/** As long as its content wants. */
	SizeRule_Auto,
	/** A share of the space left over, in proportion to its fill value. */
	SizeRule_Stretch
};

class SBoxPanel : public SWidget
{
public:
	/**
	 * What a slot of a box holds: its child, padding, alignment and how it is sized along the box. Each box has a slot
	 * type of its own made from it; the types of two boxes are siblings, neither a kind of the other.
	 */
	template <typename SlotType>
	class TSlot : public FSlotBase, public TPaddingWidgetSlotMixin<SlotType>, public TAlignmentWidgetSlotMixin<SlotType>
	{
	public:
		ESizeRule GetSizeRule() const { return SizeRule; }
		/** @return the fill share of a stretched slot; 0 for an auto-sized one. */
		float GetSizeValue() const { return SizeRule == ESizeRule::SizeRule_Stretch ? SizeValue.Get(1.0f) : 0.0f; }
		/** @return the largest length the slot may take; 0 for no limit. */
		float GetMaxSize() const { return MaxSize.Get(0.0f); }

		void SetAutoSize() { SizeRule = ESizeRule::SizeRule_Auto; }
		void SetSizeToStretch(TAttribute<float> InFill)
		{
			SizeRule = ESizeRule::SizeRule_Stretch;
			SizeValue = MoveTemp(InFill);
		}
		void SetMaxSize(TAttribute<float> InMaxSize) { MaxSize = MoveTemp(InMaxSize); }

	private:
		// A box slot fills by default, as the engine's does until AutoHeight/AutoWidth is asked for.
		ESizeRule SizeRule = ESizeRule::SizeRule_Stretch;
		TAttribute<float> SizeValue = 1.0f;
		TAttribute<float> MaxSize = 0.0f;
	};

	/** The slot type of the box panel itself; a vertical or horizontal box's slots are of that box's own type. */
	class FSlot : public TSlot<FSlot>
	{
	};

	/**
	 * The setters that every box's slot arguments share. ArgumentsType is the box's own slot argument type and
	 * SlotType its slot, held by pointer since the arguments are declared inside the slot.
	 */
	template <typename ArgumentsType, typename SlotType>
	struct TSlotArguments
	{
		TSlotArguments()
		    : SlotValue(MakeShared<SlotType>())
		{
		}

		ArgumentsType& Me() { return *static_cast<ArgumentsType*>(this); }

		ArgumentsType& operator[](const TSharedRef<SWidget>& InChildWidget)
		{
			SlotValue->AttachWidget(InChildWidget);
			return Me();
		}
		ArgumentsType& Padding(TAttribute<FMargin> InPadding)
		{
			SlotValue->SetPadding(MoveTemp(InPadding));
			return Me();
		}
		ArgumentsType& Padding(float Uniform) { return Padding(TAttribute<FMargin>(FMargin(Uniform))); }
		ArgumentsType& Padding(float Horizontal, float Vertical) { return Padding(TAttribute<FMargin>(FMargin(Horizontal, Vertical))); }
		ArgumentsType& Padding(float Left, float Top, float Right, float Bottom) { return Padding(TAttribute<FMargin>(FMargin(Left, Top, Right, Bottom))); }
		ArgumentsType& HAlign(EHorizontalAlignment InAlignment)
		{
			SlotValue->SetHorizontalAlignment(InAlignment);
			return Me();
		}
		ArgumentsType& VAlign(EVerticalAlignment InAlignment)
		{
			SlotValue->SetVerticalAlignment(InAlignment);
			return Me();
		}

		TSharedRef<SlotType> SlotValue;
	};

	FChildren* GetChildren() override { return &Children; }

	/** @return the number of slots. */
	int32 NumSlots() const { return Children.Num(); }

protected:
	/** Adds a copy of each declared slot, in order, as the box's own slot type. */
	template <typename SlotType, typename ArgumentsType>
	void AddSlots(const TArray<ArgumentsType>& InArguments)
	{
		for (const ArgumentsType& Arguments : InArguments)
		{
			Children.Slots.Add(MakeShared<SlotType>(*Arguments.SlotValue));
		}
	}

	/** @return the slot at Index as the type the box added it with. */
	template <typename SlotType>
	SlotType& GetSlotAs(int32 Index) const
	{
		return static_cast<SlotType&>(Children.Slots[Index].Get());
	}

private:
	class FBoxChildren final : public FChildren
	{
	public:
		int32 Num() const override { return Slots.Num(); }
		TSharedRef<SWidget> GetChildAt(int32 Index) override { return Slots[Index]->GetWidget(); }
		const FSlotBase& GetSlotAt(int32 ChildIndex) const override { return Slots[ChildIndex].Get(); }

		TArray<TSharedRef<FSlotBase>> Slots;
	};

	FBoxChildren Children;
};

class SVerticalBox : public SBoxPanel
{
public:
	class FSlot : public SBoxPanel::TSlot<FSlot>
	{
	public:
		struct FSlotArguments : public SBoxPanel::TSlotArguments<FSlotArguments, FSlot>
		{
			/** The slot is as tall as its content. */
			FSlotArguments& AutoHeight()
			{
				SlotValue->SetAutoSize();
				return *this;
			}
			/** The slot takes a share of the height left over. */
			FSlotArguments& FillHeight(TAttribute<float> InFillHeight)
			{
				SlotValue->SetSizeToStretch(MoveTemp(InFillHeight));
				return *this;
			}
			FSlotArguments& MaxHeight(TAttribute<float> InMaxHeight)
			{
				SlotValue->SetMaxSize(MoveTemp(InMaxHeight));
				return *this;
			}
		};
	};

	/** Starts the declaration of one slot: + SVerticalBox::Slot().AutoHeight()[ ... ]. */
	static FSlot::FSlotArguments Slot() { return FSlot::FSlotArguments(); }

	SLATE_BEGIN_ARGS(SVerticalBox)
		{
		}
		SLATE_SLOT_ARGUMENT(SVerticalBox::FSlot, Slots)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	/** @return the slot at SlotIndex, which must be below NumSlots(). */
	FSlot& GetSlot(int32 SlotIndex) { return GetSlotAs<FSlot>(SlotIndex); }
	const FSlot& GetSlot(int32 SlotIndex) const { return GetSlotAs<FSlot>(SlotIndex); }
};

class SHorizontalBox : public SBoxPanel
{
public:
	class FSlot : public SBoxPanel::TSlot<FSlot>
	{
	public:
		struct FSlotArguments : public SBoxPanel::TSlotArguments<FSlotArguments, FSlot>
		{
			/** The slot is as wide as its content. */
			FSlotArguments& AutoWidth()
			{
				SlotValue->SetAutoSize();
				return *this;
			}
			/** The slot takes a share of the width left over. */
			FSlotArguments& FillWidth(TAttribute<float> InFillWidth)
			{
				SlotValue->SetSizeToStretch(MoveTemp(InFillWidth));
				return *this;
			}
			FSlotArguments& MaxWidth(TAttribute<float> InMaxWidth)
			{
				SlotValue->SetMaxSize(MoveTemp(InMaxWidth));
				return *this;
			}
		};
	};

	/** Starts the declaration of one slot: + SHorizontalBox::Slot().AutoWidth()[ ... ]. */
	static FSlot::FSlotArguments Slot() { return FSlot::FSlotArguments(); }

	SLATE_BEGIN_ARGS(SHorizontalBox)
		{
		}
		SLATE_SLOT_ARGUMENT(SHorizontalBox::FSlot, Slots)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	/** @return the slot at SlotIndex, which must be below NumSlots(). */
	FSlot& GetSlot(int32 SlotIndex) { return GetSlotAs<FSlot>(SlotIndex); }
	const FSlot& GetSlot(int32 SlotIndex) const { return GetSlotAs<FSlot>(SlotIndex); }
};
