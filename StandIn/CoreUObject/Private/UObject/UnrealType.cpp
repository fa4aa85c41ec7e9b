#include "UObject/UnrealType.h"

#include "Misc/OutputDevice.h"
#include "UObject/Package.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

using namespace UE::CoreUObject::Private;

namespace
{
	const FString& EmptyString()
	{
		static const FString Empty;
		return Empty;
	}

	// "(A,B)" -> "A", "B" at the top level; quoted items keep their commas.
	bool SplitParenthesizedList(const FString& Text, TArray<FString>& OutItems)
	{
		if (Text.Len() < 2 || Text[0] != TEXT('(') || Text[Text.Len() - 1] != TEXT(')'))
		{
			return false;
		}
		const FString Inner = Text.Mid(1, Text.Len() - 2);
		FString Current;
		int32 Depth = 0;
		bool bInQuotes = false;
		for (int32 Index = 0; Index < Inner.Len(); ++Index)
		{
			const TCHAR Char = Inner[Index];
			if (Char == TEXT('"') && (Index == 0 || Inner[Index - 1] != TEXT('\\')))
			{
				bInQuotes = !bInQuotes;
			}
			else if (!bInQuotes && Char == TEXT('('))
			{
				++Depth;
			}
			else if (!bInQuotes && Char == TEXT(')'))
			{
				--Depth;
			}
			else if (!bInQuotes && Depth == 0 && Char == TEXT(','))
			{
				OutItems.Add(Current.TrimStartAndEnd());
				Current.Empty();
				continue;
			}
			Current.AppendChar(Char);
		}
		if (!Current.TrimStartAndEnd().IsEmpty() || OutItems.Num() > 0)
		{
			OutItems.Add(Current.TrimStartAndEnd());
		}
		return true;
	}

	FString Unquote(const FString& Text)
	{
		if (Text.Len() >= 2 && Text[0] == TEXT('"') && Text[Text.Len() - 1] == TEXT('"'))
		{
			FString Result;
			for (int32 Index = 1; Index < Text.Len() - 1; ++Index)
			{
				if (Text[Index] == TEXT('\\') && Index + 1 < Text.Len() - 1)
				{
					++Index;
				}
				Result.AppendChar(Text[Index]);
			}
			return Result;
		}
		return Text;
	}

	FString Quote(const FString& Text)
	{
		FString Result = TEXT("\"");
		for (TCHAR Char : Text)
		{
			if (Char == TEXT('"') || Char == TEXT('\\'))
			{
				Result.AppendChar(TEXT('\\'));
			}
			Result.AppendChar(Char);
		}
		Result.AppendChar(TEXT('"'));
		return Result;
	}

	template <typename T>
	bool ParseNumber(const FString& Text, T& OutValue)
	{
		const std::string Utf8 = Text.ToUtf8();
		if (Utf8.empty())
		{
			return false;
		}
		char* End = nullptr;
		errno = 0;
		if constexpr (std::is_floating_point_v<T>)
		{
			const double Value = std::strtod(Utf8.c_str(), &End);
			if (*End != '\0' || errno == ERANGE)
			{
				return false;
			}
			OutValue = static_cast<T>(Value);
		}
		else if constexpr (std::is_signed_v<T>)
		{
			const long long Value = std::strtoll(Utf8.c_str(), &End, 0);
			if (*End != '\0' || errno == ERANGE || Value < static_cast<long long>(std::numeric_limits<T>::min()) ||
			    Value > static_cast<long long>(std::numeric_limits<T>::max()))
			{
				return false;
			}
			OutValue = static_cast<T>(Value);
		}
		else
		{
			if (Utf8[0] == '-')
			{
				return false;
			}
			const unsigned long long Value = std::strtoull(Utf8.c_str(), &End, 0);
			if (*End != '\0' || errno == ERANGE || Value > static_cast<unsigned long long>(std::numeric_limits<T>::max()))
			{
				return false;
			}
			OutValue = static_cast<T>(Value);
		}
		return true;
	}

	// Reads a value of Enum by name ("Value" or "EMyEnum::Value").
	bool ParseEnumValue(const UEnum* Enum, const FString& Text, int64& OutValue, FString& OutError)
	{
		const int32 Index = Enum->GetIndexByNameString(Text);
		if (Index == INDEX_NONE)
		{
			OutError = FString::Printf(TEXT("'%s' is not a value of %s"), *Text, *Enum->GetName());
			return false;
		}
		OutValue = Enum->GetValueByIndex(Index);
		return true;
	}
} // namespace

// FField

FField::FField(UStruct* InOwner, FName InName, EPropertyFlags InFlags)
    : Owner(InOwner)
    , NamePrivate(InName)
{
	(void)InFlags;
	if (Owner)
	{
		FField** Tail = &Owner->ChildProperties;
		while (*Tail)
		{
			Tail = &(*Tail)->Next;
		}
		*Tail = this;
	}
}

UStruct* FField::GetOwnerStruct() const
{
	for (const FField* Field = this; Field; Field = Field->OwnerField)
	{
		if (Field->Owner)
		{
			return Field->Owner;
		}
	}
	return nullptr;
}

UClass* FField::GetOwnerClass() const
{
	UStruct* Struct = GetOwnerStruct();
	if (!Struct)
	{
		return nullptr;
	}
	return Struct->GetClass() == UClass::StaticClass() ? static_cast<UClass*>(Struct) : static_cast<UField*>(Struct)->GetOwnerClass();
}

const FString& FField::GetMetaData(const TCHAR* Key) const
{
	return GetMetaData(FName(Key));
}

const FString& FField::GetMetaData(const FName& Key) const
{
	const FString* Value = MetaData.Find(Key);
	return Value ? *Value : EmptyString();
}

FText FField::GetToolTipText(bool bShortTooltip) const
{
	const FString* ToolTip = bShortTooltip ? FindMetaData(TEXT("ShortToolTip")) : nullptr;
	if (!ToolTip)
	{
		ToolTip = FindMetaData(TEXT("ToolTip"));
	}
	return ToolTip ? FText::FromString(*ToolTip) : FText::GetEmpty();
}

FText FField::GetDisplayNameText() const
{
	const FString* DisplayName = FindMetaData(TEXT("DisplayName"));
	return FText::FromString(DisplayName ? *DisplayName : GetName());
}

// FProperty

FProperty::FProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps)
    : FField(InOwner, InName, InFlags)
    , ElementSize(InOps.Size)
    , PropertyFlags(InFlags)
    , Offset(InOffset)
    , Ops(&InOps)
{
}

bool FProperty::Identical(const void* A, const void* B, uint32 PortFlags) const
{
	(void)PortFlags;
	if (!A || !B)
	{
		return A == B;
	}
	return Ops->Identical(A, B);
}

const TCHAR* FProperty::ImportText_Direct(const TCHAR* Buffer, void* PropertyPtr, UObject* OwnerObject, int32 PortFlags, FOutputDevice* ErrorText) const
{
	(void)OwnerObject;
	(void)PortFlags;
	if (!Buffer)
	{
		return nullptr;
	}
	FString Error;
	const FString Text = FString(Buffer).TrimStartAndEnd();
	if (!ImportTextValue(Text, PropertyPtr, Error))
	{
		if (ErrorText)
		{
			ErrorText->Log(FString::Printf(TEXT("%s: %s"), *GetName(), *Error));
		}
		return nullptr;
	}
	// The whole text was read.
	const TCHAR* End = Buffer;
	while (*End)
	{
		++End;
	}
	return End;
}

void FProperty::VisitObjectReferences(void* Value, FObjectReferenceVisitor& Visitor) const
{
	(void)Value;
	(void)Visitor;
}

// Numbers

template <typename T>
FString TProperty_Numeric<T>::GetNumericPropertyValueToString(const void* Data) const
{
	const T Value = *static_cast<const T*>(Data);
	if constexpr (std::is_floating_point_v<T>)
	{
		return FString::SanitizeFloat(static_cast<double>(Value));
	}
	else if constexpr (std::is_signed_v<T>)
	{
		return FString::Printf(TEXT("%lld"), static_cast<long long>(Value));
	}
	else
	{
		return FString::Printf(TEXT("%llu"), static_cast<unsigned long long>(Value));
	}
}

template <typename T>
FString TProperty_Numeric<T>::GetCPPType(FString*, uint32) const
{
	if constexpr (std::is_same_v<T, float>)
	{
		return TEXT("float");
	}
	else if constexpr (std::is_same_v<T, double>)
	{
		return TEXT("double");
	}
	else
	{
		return FString::Printf(TEXT("%sint%d"), std::is_signed_v<T> ? TEXT("") : TEXT("u"), static_cast<int32>(sizeof(T) * 8));
	}
}

template <typename T>
bool TProperty_Numeric<T>::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	T Value{};
	if (!ParseNumber(Text, Value))
	{
		OutError = FString::Printf(TEXT("'%s' is not a number of type %s"), *Text, *GetCPPType());
		return false;
	}
	*static_cast<T*>(Data) = Value;
	return true;
}

template class TProperty_Numeric<int8>;
template class TProperty_Numeric<int16>;
template class TProperty_Numeric<int32>;
template class TProperty_Numeric<int64>;
template class TProperty_Numeric<uint8>;
template class TProperty_Numeric<uint16>;
template class TProperty_Numeric<uint32>;
template class TProperty_Numeric<uint64>;
template class TProperty_Numeric<float>;
template class TProperty_Numeric<double>;

void FByteProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void* DefaultValue, UObject* Parent, int32 PortFlags,
                                          UObject* ExportRootScope) const
{
	if (Enum)
	{
		ValueStr += Enum->GetNameStringByValue(*static_cast<const uint8*>(PropertyValue));
		return;
	}
	TProperty_Numeric<uint8>::ExportTextItem_Direct(ValueStr, PropertyValue, DefaultValue, Parent, PortFlags, ExportRootScope);
}

bool FByteProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	if (Enum)
	{
		int64 Value = 0;
		if (!ParseEnumValue(Enum, Text, Value, OutError))
		{
			return false;
		}
		*static_cast<uint8*>(Data) = static_cast<uint8>(Value);
		return true;
	}
	return TProperty_Numeric<uint8>::ImportTextValue(Text, Data, OutError);
}

// Booleans, strings, names, texts

void FBoolProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += *static_cast<const bool*>(PropertyValue) ? TEXT("True") : TEXT("False");
}

bool FBoolProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	for (const TCHAR* Word : {TEXT("True"), TEXT("Yes"), TEXT("On"), TEXT("1")})
	{
		if (Text.Equals(Word, ESearchCase::IgnoreCase))
		{
			*static_cast<bool*>(Data) = true;
			return true;
		}
	}
	for (const TCHAR* Word : {TEXT("False"), TEXT("No"), TEXT("Off"), TEXT("0")})
	{
		if (Text.Equals(Word, ESearchCase::IgnoreCase))
		{
			*static_cast<bool*>(Data) = false;
			return true;
		}
	}
	OutError = FString::Printf(TEXT("'%s' is not a boolean (True, False, Yes, No, 1 or 0)"), *Text);
	return false;
}

void FStrProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += *static_cast<const FString*>(PropertyValue);
}

bool FStrProperty::ImportTextValue(const FString& Text, void* Data, FString&) const
{
	*static_cast<FString*>(Data) = Unquote(Text);
	return true;
}

void FNameProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += static_cast<const FName*>(PropertyValue)->ToString();
}

bool FNameProperty::ImportTextValue(const FString& Text, void* Data, FString&) const
{
	*static_cast<FName*>(Data) = FName(Unquote(Text));
	return true;
}

void FTextProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += static_cast<const FText*>(PropertyValue)->ToString();
}

bool FTextProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	// NSLOCTEXT("Namespace", "Key", "Source"), LOCTEXT("Key", "Source") and INVTEXT("Source"), as configuration files write texts.
	const struct
	{
		const TCHAR* Macro;
		int32 Arguments;
	} Forms[] = {{TEXT("NSLOCTEXT"), 3}, {TEXT("LOCTEXT"), 2}, {TEXT("INVTEXT"), 1}};
	for (const auto& Form : Forms)
	{
		if (!Text.StartsWith(Form.Macro, ESearchCase::CaseSensitive))
		{
			continue;
		}
		TArray<FString> Arguments;
		if (!SplitParenthesizedList(Text.RightChop(FString(Form.Macro).Len()).TrimStartAndEnd(), Arguments) || Arguments.Num() != Form.Arguments)
		{
			OutError = FString::Printf(TEXT("'%s' is not a well-formed %s"), *Text, Form.Macro);
			return false;
		}
		const FString Source = Unquote(Arguments.Last());
		if (Form.Arguments == 3)
		{
			*static_cast<FText*>(Data) = FText::MakeLocalized(*Source, *Unquote(Arguments[0]), *Unquote(Arguments[1]));
		}
		else if (Form.Arguments == 2)
		{
			*static_cast<FText*>(Data) = FText::MakeLocalized(*Source, TEXT(""), *Unquote(Arguments[0]));
		}
		else
		{
			*static_cast<FText*>(Data) = FText::AsCultureInvariant(Source);
		}
		return true;
	}
	*static_cast<FText*>(Data) = FText::FromString(Unquote(Text));
	return true;
}

// Enums

FEnumProperty::FEnumProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps, UEnum* InEnum,
                             FNumericProperty* InUnderlyingProp)
    : FProperty(InOwner, InName, InFlags, InOffset, InOps)
    , Enum(InEnum)
    , UnderlyingProp(InUnderlyingProp)
{
	UnderlyingProp->OwnerField = this;
}

FEnumProperty::~FEnumProperty()
{
	delete UnderlyingProp;
}

void FEnumProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += Enum->GetNameStringByValue(UnderlyingProp->GetSignedIntPropertyValue(PropertyValue));
}

FString FEnumProperty::GetCPPType(FString*, uint32) const
{
	return Enum->CppType;
}

bool FEnumProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	int64 Value = 0;
	if (!ParseEnumValue(Enum, Text, Value, OutError))
	{
		return false;
	}
	UnderlyingProp->SetIntPropertyValue(Data, Value);
	return true;
}

// Objects

FObjectPropertyBase::FObjectPropertyBase(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps,
                                         UClass* InPropertyClass, FGetter InGetter, FSetter InSetter)
    : FProperty(InOwner, InName, InFlags, InOffset, InOps)
    , PropertyClass(InPropertyClass)
    , Getter(InGetter)
    , Setter(InSetter)
{
}

void FObjectPropertyBase::SetObjectPropertyValue(void* PropertyValueAddress, UObject* Value) const
{
	checkf(!Value || Value->IsA(PropertyClass), "The object is not of the property's class");
	Setter(PropertyValueAddress, Value);
}

void FObjectPropertyBase::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	const UObject* Object = GetObjectPropertyValue(PropertyValue);
	ValueStr += Object ? Object->GetPathName() : FString(TEXT("None"));
}

bool FObjectPropertyBase::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	const FString Path = Unquote(Text);
	if (Path.IsEmpty() || Path == TEXT("None"))
	{
		Setter(Data, nullptr);
		return true;
	}
	UObject* Object = StaticFindObject(PropertyClass, nullptr, *Path);
	if (!Object)
	{
		OutError = FString::Printf(TEXT("no %s named '%s'"), *PropertyClass->GetName(), *Path);
		return false;
	}
	Setter(Data, Object);
	return true;
}

FString FObjectProperty::GetCPPType(FString*, uint32) const
{
	return FString::Printf(TEXT("TObjectPtr<%s%s>"), PropertyClass->GetPrefixCPP(), *PropertyClass->GetName());
}

void FObjectProperty::VisitObjectReferences(void* Value, FObjectReferenceVisitor& Visitor) const
{
	UObject* Referenced = Getter(Value);
	if (!Referenced)
	{
		return;
	}
	UObject* Kept = Visitor.Visit(Referenced);
	if (Kept != Referenced)
	{
		Setter(Value, Kept);
	}
}

FString FWeakObjectProperty::GetCPPType(FString*, uint32) const
{
	return FString::Printf(TEXT("TWeakObjectPtr<%s%s>"), PropertyClass->GetPrefixCPP(), *PropertyClass->GetName());
}

// Arrays

FArrayProperty::FArrayProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps,
                               const FArrayOps& InArrayOps)
    : FProperty(InOwner, InName, InFlags, InOffset, InOps)
    , ArrayOps(InArrayOps)
{
}

FArrayProperty::~FArrayProperty()
{
	delete Inner;
}

void FArrayProperty::SetInner(FProperty* InInner)
{
	Inner = InInner;
	Inner->OwnerField = this;
}

void FArrayProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject* Parent, int32 PortFlags, UObject*) const
{
	FScriptArrayHelper Helper(this, PropertyValue);
	ValueStr += TEXT("(");
	for (int32 Index = 0; Index < Helper.Num(); ++Index)
	{
		if (Index > 0)
		{
			ValueStr += TEXT(",");
		}
		FString Item;
		Inner->ExportTextItem_Direct(Item, Helper.GetRawPtr(Index), nullptr, Parent, PortFlags);
		ValueStr += Inner->IsA<FStrProperty>() ? Quote(Item) : Item;
	}
	ValueStr += TEXT(")");
}

FString FArrayProperty::GetCPPType(FString*, uint32) const
{
	return FString::Printf(TEXT("TArray<%s>"), *Inner->GetCPPType());
}

bool FArrayProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	TArray<FString> Items;
	if (!SplitParenthesizedList(Text, Items))
	{
		OutError = FString::Printf(TEXT("'%s' is not a list in parentheses"), *Text);
		return false;
	}
	FScriptArrayHelper Helper(this, Data);
	Helper.Resize(Items.Num());
	for (int32 Index = 0; Index < Items.Num(); ++Index)
	{
		if (!Inner->ImportText_Direct(*Items[Index], Helper.GetRawPtr(Index), nullptr, 0))
		{
			OutError = FString::Printf(TEXT("element %d ('%s') cannot be read"), Index, *Items[Index]);
			return false;
		}
	}
	return true;
}

void FArrayProperty::VisitObjectReferences(void* Value, FObjectReferenceVisitor& Visitor) const
{
	FScriptArrayHelper Helper(this, Value);
	for (int32 Index = 0; Index < Helper.Num(); ++Index)
	{
		Inner->VisitObjectReferences(Helper.GetRawPtr(Index), Visitor);
	}
}

// Structures

FStructProperty::FStructProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps,
                                 UScriptStruct* InStruct)
    : FProperty(InOwner, InName, InFlags, InOffset, InOps)
    , Struct(InStruct)
{
}

void FStructProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject* Parent, int32 PortFlags, UObject*) const
{
	ValueStr += TEXT("(");
	bool bFirst = true;
	for (FProperty* Property : Struct->GetProperties(true))
	{
		FString Item;
		Property->ExportTextItem_InContainer(Item, PropertyValue, nullptr, Parent, PortFlags);
		ValueStr += FString(bFirst ? TEXT("") : TEXT(",")) + Property->GetName() + TEXT("=") + (Property->IsA<FStrProperty>() ? Quote(Item) : Item);
		bFirst = false;
	}
	ValueStr += TEXT(")");
}

FString FStructProperty::GetCPPType(FString*, uint32) const
{
	return FString(TEXT("F")) + Struct->GetName();
}

bool FStructProperty::ImportTextValue(const FString& Text, void* Data, FString& OutError) const
{
	TArray<FString> Items;
	if (!SplitParenthesizedList(Text, Items))
	{
		OutError = FString::Printf(TEXT("'%s' is not a structure in parentheses"), *Text);
		return false;
	}
	for (const FString& Item : Items)
	{
		int32 Equals = INDEX_NONE;
		if (!Item.FindChar(TEXT('='), Equals))
		{
			OutError = FString::Printf(TEXT("'%s' is not Member=Value"), *Item);
			return false;
		}
		FProperty* Member = Struct->FindPropertyByName(FName(Item.Left(Equals).TrimStartAndEnd()));
		if (!Member || !Member->ImportText_InContainer(*Item.RightChop(Equals + 1), Data, nullptr, 0))
		{
			OutError = FString::Printf(TEXT("'%s' cannot be read"), *Item);
			return false;
		}
	}
	return true;
}

void FStructProperty::VisitObjectReferences(void* Value, FObjectReferenceVisitor& Visitor) const
{
	for (FProperty* Property : Struct->GetProperties(true))
	{
		if (Property->ContainsObjectReference())
		{
			Property->VisitObjectReferences(Property->ContainerPtrToValuePtr<void>(Value), Visitor);
		}
	}
}

// Delegates

FMulticastInlineDelegateProperty::FMulticastInlineDelegateProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset,
                                                                   const FPropertyValueOps& InOps, UFunction* InSignatureFunction)
    : FProperty(InOwner, InName, InFlags, InOffset, InOps)
    , SignatureFunction(InSignatureFunction)
{
}

void FMulticastInlineDelegateProperty::ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject*) const
{
	ValueStr += FString::Printf(TEXT("(%d bindings)"), GetMulticastDelegate(PropertyValue)->GetAllObjects().Num());
}

FString FMulticastInlineDelegateProperty::GetCPPType(FString*, uint32) const
{
	return FString(TEXT("F")) + SignatureFunction->GetName().Replace(TEXT("__DelegateSignature"), TEXT(""));
}

bool FMulticastInlineDelegateProperty::ImportTextValue(const FString& Text, void*, FString& OutError) const
{
	OutError = FString::Printf(TEXT("a delegate cannot be read from text ('%s')"), *Text);
	return false;
}
