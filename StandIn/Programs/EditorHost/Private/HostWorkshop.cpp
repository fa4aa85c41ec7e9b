#include "HostWorkshop.h"

#include "Misc/Paths.h"
#include "StandIn/OfflineWorkshop.h"
#include "Templates/Function.h"

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
		// Every name is read before any control is set, so that a request with one that is not valid sets none.
		struct FNamedFailure
		{
			const FString& Name;
			TFunction<void(EResult)> Set;
			EResult Result = k_EResultFail;
		};
		FNamedFailure Failures[] = {
		    {Next.FailResult,
		     [&Next](EResult Result) {
			     UE::StandIn::FailNextOfflineWorkshopRequest(Result, Next.bFailAfterCreate);
		     }},
		    {Next.FailAddDependency, &UE::StandIn::FailNextOfflineWorkshopAddDependency},
		    {Next.FailRemoveDependency, &UE::StandIn::FailNextOfflineWorkshopRemoveDependency},
		    {Next.FailDetailsQuery, &UE::StandIn::FailNextOfflineWorkshopDetailsQuery},
		};
		for (FNamedFailure& Failure : Failures)
		{
			if (!Failure.Name.IsEmpty() && !UE::StandIn::FindOfflineWorkshopResult(Failure.Name.ToUtf8(), Failure.Result))
			{
				OutError = FString::Printf(TEXT("'%s' is not an EResult the offline Workshop knows; name one as the SDK does, such as k_EResultAccessDenied."),
				                           *Failure.Name);
				return false;
			}
		}
		if (Next.HoldAt.IsSet())
		{
			UE::StandIn::HoldNextOfflineWorkshopUpdateAt(Next.HoldAt.GetValue());
		}
		if (Next.bRefuse)
		{
			UE::StandIn::RefuseNextOfflineWorkshopRequest();
		}
		for (const FNamedFailure& Failure : Failures)
		{
			if (!Failure.Name.IsEmpty())
			{
				Failure.Set(Failure.Result);
			}
		}
		if (Next.bRefuseKeyValueTag)
		{
			UE::StandIn::RefuseNextOfflineWorkshopKeyValueTag();
		}
		if (Next.bRefusePreview)
		{
			UE::StandIn::RefuseNextOfflineWorkshopPreview();
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
