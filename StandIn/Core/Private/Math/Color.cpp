#include "Math/Color.h"

#include <algorithm>
#include <cmath>

namespace
{
	float SRGBToLinear(uint8 Value)
	{
		const float C = static_cast<float>(Value) / 255.0f;
		return C <= 0.04045f ? C / 12.92f : std::pow((C + 0.055f) / 1.055f, 2.4f);
	}

	float LinearToSRGB(float Value)
	{
		return Value <= 0.0031308f ? Value * 12.92f : 1.055f * std::pow(Value, 1.0f / 2.4f) - 0.055f;
	}

	uint8 Quantize(float Value)
	{
		return static_cast<uint8>(std::lround(std::clamp(Value, 0.0f, 1.0f) * 255.0f));
	}
} // namespace

FLinearColor::FLinearColor(const FColor& Color)
    : R(SRGBToLinear(Color.R))
    , G(SRGBToLinear(Color.G))
    , B(SRGBToLinear(Color.B))
    , A(static_cast<float>(Color.A) / 255.0f)
{
}

FColor FLinearColor::ToFColor(const bool bSRGB) const
{
	if (bSRGB)
	{
		return FColor(Quantize(LinearToSRGB(std::clamp(R, 0.0f, 1.0f))), Quantize(LinearToSRGB(std::clamp(G, 0.0f, 1.0f))),
		              Quantize(LinearToSRGB(std::clamp(B, 0.0f, 1.0f))), Quantize(A));
	}
	return FColor(Quantize(R), Quantize(G), Quantize(B), Quantize(A));
}

FLinearColor FColor::ReinterpretAsLinear() const
{
	return FLinearColor(static_cast<float>(R) / 255.0f, static_cast<float>(G) / 255.0f, static_cast<float>(B) / 255.0f, static_cast<float>(A) / 255.0f);
}
