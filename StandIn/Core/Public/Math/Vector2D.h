// A 2D vector: FVector2D in double precision (window sizes, positions), FVector2f in single precision.
#pragma once

#include "CoreTypes.h"
#include <cmath>

namespace UE::Math
{
	template <typename T>
	struct TVector2
	{
		T X = 0;
		T Y = 0;

		/** The zero vector. */
		constexpr TVector2() = default;
		constexpr TVector2(T InX, T InY)
		    : X(InX)
		    , Y(InY)
		{
		}
		/** Both components set to InF. */
		explicit constexpr TVector2(T InF)
		    : X(InF)
		    , Y(InF)
		{
		}
		explicit constexpr TVector2(EForceInit) {}
		/** Converts between precisions. */
		template <typename U>
		explicit constexpr TVector2(const TVector2<U>& Other)
		    : X(static_cast<T>(Other.X))
		    , Y(static_cast<T>(Other.Y))
		{
		}

		constexpr TVector2 operator+(const TVector2& V) const { return TVector2(X + V.X, Y + V.Y); }
		constexpr TVector2 operator-(const TVector2& V) const { return TVector2(X - V.X, Y - V.Y); }
		constexpr TVector2 operator*(T Scale) const { return TVector2(X * Scale, Y * Scale); }
		constexpr TVector2 operator/(T Scale) const { return TVector2(X / Scale, Y / Scale); }
		constexpr TVector2 operator*(const TVector2& V) const { return TVector2(X * V.X, Y * V.Y); }
		constexpr TVector2 operator-() const { return TVector2(-X, -Y); }
		TVector2& operator+=(const TVector2& V)
		{
			X += V.X;
			Y += V.Y;
			return *this;
		}
		TVector2& operator-=(const TVector2& V)
		{
			X -= V.X;
			Y -= V.Y;
			return *this;
		}
		constexpr bool operator==(const TVector2& V) const { return X == V.X && Y == V.Y; }
		constexpr bool operator!=(const TVector2& V) const { return !(*this == V); }

		/** @return true if both components are within Tolerance of V's. */
		bool Equals(const TVector2& V, T Tolerance = static_cast<T>(1.e-4)) const { return std::abs(X - V.X) <= Tolerance && std::abs(Y - V.Y) <= Tolerance; }
		T Size() const { return std::sqrt(X * X + Y * Y); }
		constexpr T SizeSquared() const { return X * X + Y * Y; }
		constexpr bool IsZero() const { return X == 0 && Y == 0; }

		static const TVector2 ZeroVector;
		static const TVector2 UnitVector;
	};

	template <typename T>
	inline const TVector2<T> TVector2<T>::ZeroVector(0, 0);
	template <typename T>
	inline const TVector2<T> TVector2<T>::UnitVector(1, 1);

	template <typename T>
	constexpr TVector2<T> operator*(T Scale, const TVector2<T>& V)
	{
		return V * Scale;
	}
} // namespace UE::Math

using FVector2D = UE::Math::TVector2<double>;
using FVector2f = UE::Math::TVector2<float>;
