// FPlatformFileManager: hands out the platform's file layer.
#pragma once

#include "GenericPlatform/GenericPlatformFile.h"

class FPlatformFileManager
{
public:
	/** @return the one manager of the program. */
	static FPlatformFileManager& Get();
	/** @return the file layer that every file operation of the program goes through. */
	IPlatformFile& GetPlatformFile();

private:
	FPlatformFileManager() = default;
};
