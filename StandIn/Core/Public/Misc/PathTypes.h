// Flags shared by the path functions of FPaths.
#pragma once

namespace UE::Paths
{
	/** Options for the functions that split an extension out of a path. */
	enum EFlags
	{
		None = 0,
		/** The returned extension starts with its dot. */
		IncludeDot = 1 << 0,
		/** The extension may hold several dots ("a.tar.gz" gives "tar.gz"), all after the last separator. */
		AllowCompoundExtension = 1 << 1,
	};

	constexpr EFlags operator|(EFlags A, EFlags B)
	{
		return static_cast<EFlags>(static_cast<int>(A) | static_cast<int>(B));
	}
	constexpr EFlags operator&(EFlags A, EFlags B)
	{
		return static_cast<EFlags>(static_cast<int>(A) & static_cast<int>(B));
	}
} // namespace UE::Paths
