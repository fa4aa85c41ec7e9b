#include "Interfaces/IPluginManager.h"
#include "Misc/PackageName.h"
#include "StandIn/PluginMountFailure.h"

#include <gtest/gtest.h>

#include "StandIn/ContentRoots.h"
#include "StandIn/OutputDeviceCapture.h"
#include <filesystem>
#include <fstream>

namespace
{
	class ProjectsTest : public testing::Test
	{
	protected:
		void SetUp() override
		{
			char Template[] = "/tmp/ProjectsTest-XXXXXX";
			ASSERT_NE(mkdtemp(Template), nullptr);
			TempDir = Template;
		}

		void TearDown() override { std::filesystem::remove_all(TempDir); }

		// Writes <Name>/<Name>.uplugin with Json and returns its path.
		FString WriteDescriptor(const std::string& Name, const std::string& Json) const
		{
			const std::filesystem::path Folder = TempDir / Name;
			std::filesystem::create_directories(Folder / "Content");
			const std::filesystem::path File = Folder / (Name + ".uplugin");
			std::ofstream(File) << Json;
			return FString(File.c_str());
		}

		FString FolderOf(const std::string& Name) const { return FString((TempDir / Name).c_str()); }

		static constexpr const char* ContentPlugin = R"({ "FileVersion": 3, "FriendlyName": "Nice Mod", "CanContainContent": true, "ExplicitlyLoaded": true })";

		std::filesystem::path TempDir;
	};

	bool IsListed(const FString& Root, const FString& Folder)
	{
		for (const UE::StandIn::FContentRootEntry& Entry : UE::StandIn::GetRegisteredContentRoots())
		{
			if (Entry.RootPath == Root && Entry.ContentPath.Equals(Folder, ESearchCase::CaseSensitive))
			{
				return true;
			}
		}
		return false;
	}
} // namespace

TEST_F(ProjectsTest, MountsAnExplicitlyLoadedContentPluginAtItsNamedRoot)
{
	const FString Descriptor = WriteDescriptor("GoodMod", ContentPlugin);
	FText Reason;
	ASSERT_TRUE(IPluginManager::Get().AddToPluginsList(Descriptor, &Reason)) << Reason.ToString().ToUtf8();

	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(TEXT("goodmod"));
	ASSERT_TRUE(Plugin.IsValid());
	EXPECT_EQ(Plugin->GetName(), TEXT("GoodMod"));
	EXPECT_EQ(Plugin->GetFriendlyName(), TEXT("Nice Mod"));
	EXPECT_EQ(Plugin->GetDescriptorFileName(), Descriptor);
	EXPECT_EQ(Plugin->GetBaseDir(), FolderOf("GoodMod"));
	EXPECT_EQ(Plugin->GetContentDir(), FolderOf("GoodMod") + TEXT("/Content"));
	EXPECT_EQ(Plugin->GetMountedAssetPath(), TEXT("/GoodMod/"));
	EXPECT_TRUE(Plugin->CanContainContent());
	EXPECT_FALSE(Plugin->IsMounted());
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/GoodMod/")));
	// Known, though not mounted: the discovered plug-ins hold it all the same.
	EXPECT_TRUE(IPluginManager::Get().GetDiscoveredPlugins().ContainsByPredicate([&Plugin](const TSharedRef<IPlugin>& Discovered) {
		return Discovered == Plugin;
	}));

	ASSERT_TRUE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("GoodMod")));
	EXPECT_TRUE(Plugin->IsMounted());
	EXPECT_TRUE(UE::StandIn::GetLastPluginMountFailReason().IsEmpty());
	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/GoodMod/")));
	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/GoodMod")));
	EXPECT_EQ(FPackageName::GetContentPathForPackageRoot(TEXT("/GoodMod/")), FolderOf("GoodMod") + TEXT("/Content/"));
	EXPECT_TRUE(IsListed(TEXT("/GoodMod/"), FolderOf("GoodMod") + TEXT("/Content/")));
	EXPECT_EQ(IPluginManager::Get().FindPluginFromPath(FolderOf("GoodMod") + TEXT("/Content/Maps/A.umap")), Plugin);
	EXPECT_EQ(IPluginManager::Get().FindPluginFromPath(TEXT("/GoodMod/Maps/A")), Plugin);

	// Mounting again changes nothing.
	EXPECT_TRUE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("GoodMod")));

	FText UnmountReason;
	EXPECT_TRUE(IPluginManager::Get().UnmountExplicitlyLoadedPlugin(TEXT("GoodMod"), &UnmountReason));
	EXPECT_FALSE(Plugin->IsMounted());
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/GoodMod/")));
}

TEST_F(ProjectsTest, RefusesADescriptorThatDoesNotParseWithAnErrorLine)
{
	const FString Descriptor = WriteDescriptor("BrokenMod", R"({ "FileVersion": 3, "ExplicitlyLoaded": true, )");
	FText Reason;
	UE::StandIn::FOutputDeviceCapture Capture;
	EXPECT_FALSE(IPluginManager::Get().AddToPluginsList(Descriptor, &Reason));
	EXPECT_TRUE(Reason.ToString().StartsWith(FString(TEXT("The plug-in descriptor '")) + Descriptor + TEXT("' is not valid: "))) << Reason.ToString().ToUtf8();
	EXPECT_FALSE(IPluginManager::Get().FindPlugin(TEXT("BrokenMod")).IsValid());
	// As the engine does, whoever asked: an Error in LogPluginManager that names the file and the reason.
	const TArray<UE::StandIn::FCapturedLogLine> Lines = Capture.GetLines();
	ASSERT_EQ(Lines.Num(), 1);
	EXPECT_EQ(Lines[0].Category, FName(TEXT("LogPluginManager")));
	EXPECT_EQ(Lines[0].Verbosity, ELogVerbosity::Error);
	EXPECT_TRUE(Lines[0].Message.Equals(FString::Printf(TEXT("Failed to load plugin '%s': %s"), *Descriptor, *Reason.ToString()), ESearchCase::CaseSensitive))
	    << Lines[0].Message.ToUtf8();

	EXPECT_FALSE(IPluginManager::Get().AddToPluginsList(WriteDescriptor("NoVersionMod", R"({ "ExplicitlyLoaded": true })"), &Reason));
	EXPECT_TRUE(Reason.ToString().Contains(TEXT("\"FileVersion\""))) << Reason.ToString().ToUtf8();

	EXPECT_FALSE(IPluginManager::Get().AddToPluginsList(FolderOf("Missing") + TEXT("/Missing.uplugin"), &Reason));
	EXPECT_TRUE(Reason.ToString().StartsWith(TEXT("Could not read the plug-in descriptor"))) << Reason.ToString().ToUtf8();
}

TEST_F(ProjectsTest, MountsOnlyKnownPluginsThatAreExplicitlyLoaded)
{
	ASSERT_TRUE(IPluginManager::Get().AddToPluginsList(WriteDescriptor("AlwaysOnMod", R"({ "FileVersion": 3, "CanContainContent": true })")));
	EXPECT_FALSE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("AlwaysOnMod")));
	EXPECT_TRUE(UE::StandIn::GetLastPluginMountFailReason().ToString().Contains(TEXT("\"ExplicitlyLoaded\": true")));
	EXPECT_FALSE(IPluginManager::Get().FindPlugin(TEXT("AlwaysOnMod"))->IsMounted());
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/AlwaysOnMod/")));

	EXPECT_FALSE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("NeverAddedMod")));
	EXPECT_TRUE(UE::StandIn::GetLastPluginMountFailReason().ToString().Contains(TEXT("No plug-in named 'NeverAddedMod' is known")));

	// By file name, a plug-in not yet known is read first.
	EXPECT_TRUE(IPluginManager::Get().MountExplicitlyLoadedPlugin_FromFileName(WriteDescriptor("ByFileMod", ContentPlugin)));
	EXPECT_TRUE(IPluginManager::Get().FindPlugin(TEXT("ByFileMod"))->IsMounted());
}

TEST_F(ProjectsTest, RefusesAContentRootTheEngineUsesOrAnotherFolderHolds)
{
	for (const std::string Reserved : {"Game", "engine", "Script", "Temp", "Memory", "Config"})
	{
		ASSERT_TRUE(IPluginManager::Get().AddToPluginsList(WriteDescriptor(Reserved, ContentPlugin)));
		EXPECT_FALSE(IPluginManager::Get().MountExplicitlyLoadedPlugin(FString(Reserved.c_str()))) << Reserved;
		EXPECT_TRUE(UE::StandIn::GetLastPluginMountFailReason().ToString().Contains(TEXT("is reserved by the engine"))) << Reserved;
	}

	const TRefCountPtr<UE::PackageName::IMountPoint> Other = FPackageName::RegisterMountPoint(TEXT("/TakenMod/"), TEXT("/elsewhere/Content"));
	ASSERT_TRUE(Other.IsValid());
	ASSERT_TRUE(IPluginManager::Get().AddToPluginsList(WriteDescriptor("TakenMod", ContentPlugin)));
	EXPECT_FALSE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("TakenMod")));
	EXPECT_EQ(UE::StandIn::GetLastPluginMountFailReason().ToString(),
	          TEXT("The content root '/TakenMod/' is already registered to '/elsewhere/Content/'. Unmount that folder or rename the plug-in 'TakenMod'."));
	EXPECT_EQ(FPackageName::GetContentPathForPackageRoot(TEXT("/TakenMod/")), TEXT("/elsewhere/Content/"));

	FPackageName::UnRegisterMountPoint(TEXT("/TakenMod/"), TEXT("/elsewhere/Content/"));
	EXPECT_TRUE(IPluginManager::Get().MountExplicitlyLoadedPlugin(TEXT("TakenMod")));
}

TEST(PackageName, RegistersOnlyValidRootsAndKeepsTheLatestMountInFront)
{
	EXPECT_FALSE(FPackageName::RegisterMountPoint(TEXT("NoLeadingSlash/"), TEXT("/a")).IsValid());
	EXPECT_FALSE(FPackageName::RegisterMountPoint(TEXT("/"), TEXT("/a")).IsValid());
	EXPECT_FALSE(FPackageName::RegisterMountPoint(TEXT("/Stacked/"), TEXT("")).IsValid());

	ASSERT_TRUE(FPackageName::RegisterMountPoint(TEXT("/Stacked"), TEXT("/first")).IsValid());
	ASSERT_TRUE(FPackageName::RegisterMountPoint(TEXT("/Stacked/"), TEXT("/second/")).IsValid());
	EXPECT_EQ(FPackageName::GetContentPathForPackageRoot(TEXT("/stacked/")), TEXT("/second/"));
	FPackageName::UnRegisterMountPoint(TEXT("/Stacked/"), TEXT("/second"));
	EXPECT_EQ(FPackageName::GetContentPathForPackageRoot(TEXT("/Stacked/")), TEXT("/first/"));
	FPackageName::UnRegisterMountPoint(TEXT("/Stacked/"), TEXT("/first/"));
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/Stacked/")));
	EXPECT_EQ(FPackageName::GetContentPathForPackageRoot(TEXT("/Stacked/")), TEXT(""));

	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/Game/")));
	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/Script")));
}
