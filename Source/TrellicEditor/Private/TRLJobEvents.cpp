// Copyright Trellic contributors. All Rights Reserved.

#include "TRLJobEvents.h"

FTRLJobEvents::FOnPackagingEnded& FTRLJobEvents::OnPackagingEnded()
{
	static FOnPackagingEnded Delegate;
	return Delegate;
}

FTRLJobEvents::FOnUploadEnded& FTRLJobEvents::OnUploadEnded()
{
	static FOnUploadEnded Delegate;
	return Delegate;
}
