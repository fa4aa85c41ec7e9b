#include "ItemStore.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace OfflineWorkshop
{
	namespace
	{
		// A value stays on its line: backslashes, line feeds and carriage returns are escaped.
		std::string Escape(const std::string& Value)
		{
			std::string Result;
			for (const char Char : Value)
			{
				switch (Char)
				{
					case '\\':
						Result += "\\\\";
						break;
					case '\n':
						Result += "\\n";
						break;
					case '\r':
						Result += "\\r";
						break;
					default:
						Result += Char;
				}
			}
			return Result;
		}

		std::string Unescape(const std::string& Value)
		{
			std::string Result;
			for (size_t Index = 0; Index < Value.size(); ++Index)
			{
				if (Value[Index] == '\\' && Index + 1 < Value.size())
				{
					const char Next = Value[++Index];
					Result += Next == 'n' ? '\n' : Next == 'r' ? '\r' : Next;
				}
				else
				{
					Result += Value[Index];
				}
			}
			return Result;
		}

		bool ParseNumber(const std::string& Text, uint64& OutValue)
		{
			if (Text.empty() || Text.size() > 20 || !std::all_of(Text.begin(), Text.end(), [](char Char) {
				    return Char >= '0' && Char <= '9';
			    }))
			{
				return false;
			}
			OutValue = std::stoull(Text);
			return true;
		}
	} // namespace

	std::filesystem::path GetItemFolder(const std::filesystem::path& Root, PublishedFileId_t Id)
	{
		return Root / std::to_string(Id);
	}

	bool ReadItemRecord(const std::filesystem::path& ItemFolder, FItemRecord& OutRecord)
	{
		std::ifstream File(ItemFolder / "item.txt", std::ios::binary);
		if (!File)
		{
			return false;
		}
		FItemRecord Record;
		bool bHasId = false;
		std::string Line;
		while (std::getline(File, Line))
		{
			const size_t Equals = Line.find('=');
			if (Equals == std::string::npos)
			{
				continue;
			}
			const std::string Key = Line.substr(0, Equals);
			const std::string Value = Unescape(Line.substr(Equals + 1));
			uint64 Number = 0;
			if (Key == "id" && ParseNumber(Value, Number))
			{
				Record.Id = Number;
				bHasId = true;
			}
			else if (Key == "app" && ParseNumber(Value, Number))
			{
				Record.AppId = static_cast<AppId_t>(Number);
			}
			else if (Key == "created" && ParseNumber(Value, Number))
			{
				Record.CreatedTicks = Number;
			}
			else if (Key == "title")
			{
				Record.Title = Value;
			}
			else if (Key == "description")
			{
				Record.Description = Value;
			}
			else if (Key == "tag")
			{
				Record.Tags.push_back(Value);
			}
			else if (Key == "visibility")
			{
				for (int Candidate = k_ERemoteStoragePublishedFileVisibilityPublic; Candidate <= k_ERemoteStoragePublishedFileVisibilityUnlisted; ++Candidate)
				{
					const auto Visibility = static_cast<ERemoteStoragePublishedFileVisibility>(Candidate);
					if (Value == GetVisibilityWord(Visibility))
					{
						Record.Visibility = Visibility;
					}
				}
			}
			else if (Key == "preview")
			{
				Record.PreviewFileName = Value;
			}
			else if (Key == "changenote")
			{
				Record.ChangeNotes.push_back(Value);
			}
			else if (Key == "child" && ParseNumber(Value, Number))
			{
				Record.Children.push_back(Number);
			}
			else if (Key == "keyvalue" && Value.find('=') != std::string::npos)
			{
				// A key holds letters, digits and underscores only, so the first "=" ends it.
				Record.KeyValueTags.emplace_back(Value.substr(0, Value.find('=')), Value.substr(Value.find('=') + 1));
			}
			else if (Key == "extrapreview")
			{
				// "<type>/<stored name>": a file name holds no "/", and the stored name is "<number>-<file name>".
				const size_t Slash = Value.find('/');
				const size_t Dash = Value.find('-', Slash);
				if (Slash != std::string::npos && Dash != std::string::npos && ParseNumber(Value.substr(0, Slash), Number))
				{
					Record.ExtraPreviews.push_back({static_cast<EItemPreviewType>(Number), Value.substr(Slash + 1), Value.substr(Dash + 1)});
				}
			}
		}
		if (!bHasId)
		{
			return false;
		}
		OutRecord = std::move(Record);
		return true;
	}

	bool WriteItemRecord(const std::filesystem::path& ItemFolder, const FItemRecord& Record)
	{
		const std::filesystem::path Temporary = ItemFolder / "item.txt.new";
		{
			std::ofstream File(Temporary, std::ios::binary | std::ios::trunc);
			if (!File)
			{
				return false;
			}
			File << "id=" << Record.Id << '\n';
			File << "app=" << Record.AppId << '\n';
			File << "created=" << Record.CreatedTicks << '\n';
			File << "title=" << Escape(Record.Title) << '\n';
			File << "description=" << Escape(Record.Description) << '\n';
			for (const std::string& Tag : Record.Tags)
			{
				File << "tag=" << Escape(Tag) << '\n';
			}
			File << "visibility=" << GetVisibilityWord(Record.Visibility) << '\n';
			File << "preview=" << Escape(Record.PreviewFileName) << '\n';
			for (const std::string& Note : Record.ChangeNotes)
			{
				File << "changenote=" << Escape(Note) << '\n';
			}
			for (const PublishedFileId_t Child : Record.Children)
			{
				File << "child=" << Child << '\n';
			}
			for (const auto& [TagKey, TagValue] : Record.KeyValueTags)
			{
				File << "keyvalue=" << Escape(TagKey) << '=' << Escape(TagValue) << '\n';
			}
			for (const FExtraPreview& Preview : Record.ExtraPreviews)
			{
				File << "extrapreview=" << static_cast<int>(Preview.Type) << '/' << Escape(Preview.StoredName) << '\n';
			}
			if (!File.flush())
			{
				return false;
			}
		}
		std::error_code Error;
		std::filesystem::rename(Temporary, ItemFolder / "item.txt", Error);
		return !Error;
	}

	std::vector<std::string> ListRelativeFiles(const std::filesystem::path& Folder)
	{
		std::vector<std::string> Files;
		std::error_code Error;
		if (!std::filesystem::is_directory(Folder, Error))
		{
			return Files;
		}
		for (std::filesystem::recursive_directory_iterator It(Folder, Error), End; !Error && It != End; It.increment(Error))
		{
			if (It->is_regular_file(Error))
			{
				Files.push_back(std::filesystem::relative(It->path(), Folder, Error).generic_string());
			}
		}
		std::sort(Files.begin(), Files.end());
		return Files;
	}

	const char* GetVisibilityWord(ERemoteStoragePublishedFileVisibility Visibility)
	{
		switch (Visibility)
		{
			case k_ERemoteStoragePublishedFileVisibilityPublic:
				return "public";
			case k_ERemoteStoragePublishedFileVisibilityFriendsOnly:
				return "friends";
			case k_ERemoteStoragePublishedFileVisibilityUnlisted:
				return "unlisted";
			default:
				return "private";
		}
	}
} // namespace OfflineWorkshop
