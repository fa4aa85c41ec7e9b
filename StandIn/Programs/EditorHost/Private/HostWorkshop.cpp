#include "HostWorkshop.h"

#include "Misc/Paths.h"
#include "StandIn/OfflineWorkshop.h"

namespace UE::StandIn::EditorHost
{
	FString GetWorkshopFolder(const FHostOptions& Options, const FHostProject& Project)
	{
		if (!Options.WorkshopDir.IsEmpty())
		{
			return AbsoluteFromWorkingDirectory(Options.WorkshopDir);
		}
		return FString::FromUtf8(UE::StandIn::MakeDefaultOfflineWorkshopFolder(FPaths::GetPath(Project.ProjectFile).ToUtf8()));
	}

	bool SetWorkshopNextRequest(const FWorkshopNextRequest& Next, FString& OutError)
	{
		if (Next.HoldAt.IsSet() && !(Next.HoldAt.GetValue() >= 0.0 && Next.HoldAt.GetValue() <= 1.0))
		{
			OutError = TEXT("A hold is a fraction of the content's bytes, from 0 to 1.");
			return false;
		}
		EResult Failure = k_EResultFail;
		if (!Next.FailResult.IsEmpty() && !UE::StandIn::FindOfflineWorkshopResult(Next.FailResult.ToUtf8(), Failure))
		{
			OutError = FString::Printf(TEXT("'%s' is not an EResult the offline Workshop knows; name one as the SDK does, such as k_EResultAccessDenied."),
			                           *Next.FailResult);
			return false;
		}
		if (Next.HoldAt.IsSet())
		{
			UE::StandIn::HoldNextOfflineWorkshopUpdateAt(Next.HoldAt.GetValue());
		}
		if (Next.bRefuse)
		{
			UE::StandIn::RefuseNextOfflineWorkshopRequest();
		}
		if (!Next.FailResult.IsEmpty())
		{
			UE::StandIn::FailNextOfflineWorkshopRequest(Failure, Next.bFailAfterCreate);
		}
		return true;
	}

	bool ReleaseWorkshopHold(FString& OutError)
	{
		if (!UE::StandIn::ReleaseOfflineWorkshopHold())
		{
			OutError = TEXT("No upload is held: a hold pauses the copy only once the upload reaches it.");
			return false;
		}
		return true;
	}
} // namespace UE::StandIn::EditorHost
