#include "ProjectFiles.h"

#include "CommandLine.h"

#include "Misc/FileHelper.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

namespace AutomationTool
{
	std::optional<FString> LoadTextFile(const std::filesystem::path& File)
	{
		FString Text;
		if (!FFileHelper::LoadFileToString(Text, *FString::FromUtf8(File.string())))
		{
			return std::nullopt;
		}
		return Text;
	}

	bool LoadJsonObject(const std::filesystem::path& File, TSharedPtr<FJsonObject>& OutObject, std::string& OutError)
	{
		const std::optional<FString> Text = LoadTextFile(File);
		if (!Text)
		{
			OutError = "'" + File.string() + "' could not be read.";
			return false;
		}
		const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(*Text);
		if (!FJsonSerializer::Deserialize(Reader, OutObject) || !OutObject.IsValid())
		{
			OutError = "'" + File.string() + "' does not hold a JSON object: " + Reader->GetErrorMessage().ToUtf8();
			return false;
		}
		return true;
	}

	std::filesystem::path MakeNormalPath(const std::filesystem::path& Path)
	{
		std::filesystem::path Normal = std::filesystem::absolute(Path).lexically_normal();
		if (!Normal.has_filename() && Normal != Normal.root_path())
		{
			Normal = Normal.parent_path();
		}
		return Normal;
	}

	bool IsInsideFolder(const std::filesystem::path& Path, const std::filesystem::path& Folder)
	{
		const std::filesystem::path Relative = Path.lexically_relative(Folder);
		return !Relative.empty() && Relative != "." && *Relative.begin() != "..";
	}

	std::string GetPlatformFolderName(const std::string& Platform)
	{
		if (EqualsNoCase(Platform, "Win64") || EqualsNoCase(Platform, "Win32"))
		{
			return "Windows";
		}
		return Platform;
	}

	bool IsPlainFolderName(const std::string& Name)
	{
		return !Name.empty() && Name != "." && Name != ".." && Name.find_first_of("/\\") == std::string::npos;
	}
} // namespace AutomationTool
