// Colours: FLinearColor (linear floating-point RGBA, what Slate draws with) and FColor (8-bit sRGB RGBA).
#pragma once

#include "CoreTypes.h"

struct FColor;

/** A colour in linear space with floating-point components. */
struct FLinearColor
{
	float R = 0.0f;
	float G = 0.0f;
	float B = 0.0f;
	float A = 0.0f;

	constexpr FLinearColor() = default;
	explicit constexpr FLinearColor(EForceInit) {}
	constexpr FLinearColor(float InR, float InG, float InB, float InA = 1.0f)
	    : R(InR)
	    , G(InG)
	    , B(InB)
	    , A(InA)
	{
	}
	/** Converts an sRGB colour to linear space. */
	FLinearColor(const FColor& Color);

	/** @return this colour as 8-bit, sRGB-encoded when bSRGB. */
	FColor ToFColor(const bool bSRGB) const;

	/** @return the same colour with another opacity. */
	constexpr FLinearColor CopyWithNewOpacity(float NewOpacity) const { return FLinearColor(R, G, B, NewOpacity); }

	constexpr bool operator==(const FLinearColor& Other) const { return R == Other.R && G == Other.G && B == Other.B && A == Other.A; }
	constexpr bool operator!=(const FLinearColor& Other) const { return !(*this == Other); }

	static const FLinearColor White;
	static const FLinearColor Gray;
	static const FLinearColor Black;
	static const FLinearColor Transparent;
	static const FLinearColor Red;
	static const FLinearColor Green;
	static const FLinearColor Blue;
	static const FLinearColor Yellow;
};

/** An 8-bit RGBA colour, normally sRGB-encoded. */
struct FColor
{
	// The engine's memory order on little-endian machines.
	uint8 B = 0;
	uint8 G = 0;
	uint8 R = 0;
	uint8 A = 0;

	constexpr FColor() = default;
	explicit constexpr FColor(EForceInit) {}
	constexpr FColor(uint8 InR, uint8 InG, uint8 InB, uint8 InA = 255)
	    : B(InB)
	    , G(InG)
	    , R(InR)
	    , A(InA)
	{
	}

	/** @return this colour in linear space, decoding sRGB. */
	FLinearColor ReinterpretAsLinear() const;

	constexpr bool operator==(const FColor& Other) const { return R == Other.R && G == Other.G && B == Other.B && A == Other.A; }
	constexpr bool operator!=(const FColor& Other) const { return !(*this == Other); }

	static const FColor White;
	static const FColor Black;
	static const FColor Transparent;
	static const FColor Red;
	static const FColor Green;
	static const FColor Blue;
	static const FColor Yellow;
};

inline const FLinearColor FLinearColor::White(1.f, 1.f, 1.f);
inline const FLinearColor FLinearColor::Gray(0.5f, 0.5f, 0.5f);
inline const FLinearColor FLinearColor::Black(0.f, 0.f, 0.f);
inline const FLinearColor FLinearColor::Transparent(0.f, 0.f, 0.f, 0.f);
inline const FLinearColor FLinearColor::Red(1.f, 0.f, 0.f);
inline const FLinearColor FLinearColor::Green(0.f, 1.f, 0.f);
inline const FLinearColor FLinearColor::Blue(0.f, 0.f, 1.f);
inline const FLinearColor FLinearColor::Yellow(1.f, 1.f, 0.f);

inline const FColor FColor::White(255, 255, 255);
inline const FColor FColor::Black(0, 0, 0);
inline const FColor FColor::Transparent(0, 0, 0, 0);
inline const FColor FColor::Red(255, 0, 0);
inline const FColor FColor::Green(0, 255, 0);
inline const FColor FColor::Blue(0, 0, 255);
inline const FColor FColor::Yellow(255, 255, 0);
