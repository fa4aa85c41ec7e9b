#include "DocExamples.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
	std::string Trim(const std::string& Text)
	{
		const size_t First = Text.find_first_not_of(" \t\r");
		return First == std::string::npos ? std::string() : Text.substr(First, Text.find_last_not_of(" \t\r") - First + 1);
	}

	bool StartsWith(const std::string& Text, const std::string& Prefix)
	{
		return Text.compare(0, Prefix.size(), Prefix) == 0;
	}

	/** A line that opens or closes a fenced block, as it may stand indented in a list item. */
	bool IsFence(const std::string& Line)
	{
		return StartsWith(Trim(Line), "```");
	}

	std::string Where(const FDocPage& Page, int Line)
	{
		return Page.Path + " line " + std::to_string(Line) + ": ";
	}

	struct FMarker
	{
		enum class EType
		{
			None,
			Example,
			Continued,
			Output,
			File
		};
		EType Type = EType::None;
		std::string Kind;
		bool bRunnable = false;
		std::string Reason;
		std::string FileName;
	};

	/** Reads a marker line; false with OutProblem when the line is a comment about examples in no form we read. */
	bool ReadMarker(const std::string& Line, FMarker& OutMarker, std::string& OutProblem)
	{
		const std::string Text = Trim(Line);
		OutMarker = FMarker();
		if (!StartsWith(Text, "<!--") || Text.size() < 7 || Text.compare(Text.size() - 3, 3, "-->") != 0)
		{
			return true;
		}
		const std::string Inner = Trim(Text.substr(4, Text.size() - 7));
		if (!StartsWith(Inner, "example"))
		{
			return true;
		}
		if (Inner == "example-output")
		{
			OutMarker.Type = FMarker::EType::Output;
			return true;
		}
		if (StartsWith(Inner, "example-file:") && !Trim(Inner.substr(13)).empty())
		{
			OutMarker.Type = FMarker::EType::File;
			OutMarker.FileName = Trim(Inner.substr(13));
			return true;
		}
		const size_t Comma = Inner.find(',');
		if (StartsWith(Inner, "example:") && Comma != std::string::npos)
		{
			OutMarker.Kind = Trim(Inner.substr(8, Comma - 8));
			const std::string Status = Trim(Inner.substr(Comma + 1));
			const bool bKnownKind = OutMarker.Kind == "script-mode" || OutMarker.Kind == "shell" || OutMarker.Kind == "interactive";
			if (Status == "runnable" && bKnownKind)
			{
				OutMarker.Type = FMarker::EType::Example;
				OutMarker.bRunnable = true;
				return true;
			}
			if (Status == "continued" && (OutMarker.Kind == "shell" || OutMarker.Kind == "interactive"))
			{
				OutMarker.Type = FMarker::EType::Continued;
				return true;
			}
			if (StartsWith(Status, "not runnable:") && !OutMarker.Kind.empty() && !Trim(Status.substr(13)).empty())
			{
				OutMarker.Type = FMarker::EType::Example;
				OutMarker.Reason = Trim(Status.substr(13));
				return true;
			}
		}
		OutProblem = "the marker '" + Text +
		             "' is none of <!-- example: script-mode|shell|interactive, runnable -->, <!-- example: shell|interactive, continued -->, "
		             "<!-- example: KIND, not runnable: WHY -->, <!-- example-output --> or <!-- example-file: NAME -->";
		return false;
	}
} // namespace

std::vector<std::string> SplitLines(const std::string& Text)
{
	std::vector<std::string> Lines;
	std::istringstream Stream(Text);
	for (std::string Line; std::getline(Stream, Line);)
	{
		Lines.push_back(Line);
	}
	return Lines;
}

FDocPage MakeDocPage(const std::string& Path, const std::string& Text)
{
	return FDocPage{Path, SplitLines(Text)};
}

std::vector<FDocPage> ReadDocPages(const std::string& SourceDir)
{
	namespace fs = std::filesystem;
	std::vector<std::string> Paths = {"README.md"};
	std::vector<std::string> Docs;
	std::error_code Error;
	for (const fs::directory_entry& Entry : fs::directory_iterator(fs::path(SourceDir) / "docs", Error))
	{
		if (Entry.path().extension() == ".md")
		{
			Docs.push_back("docs/" + Entry.path().filename().string());
		}
	}
	std::sort(Docs.begin(), Docs.end());
	Paths.insert(Paths.end(), Docs.begin(), Docs.end());

	std::vector<FDocPage> Pages;
	for (const std::string& Path : Paths)
	{
		std::ifstream File(fs::path(SourceDir) / Path, std::ios::binary);
		std::ostringstream Text;
		Text << File.rdbuf();
		Pages.push_back(MakeDocPage(Path, Text.str()));
	}
	return Pages;
}

std::vector<FDocExample> ReadExamples(const FDocPage& Page, std::vector<std::string>& OutProblems)
{
	std::vector<FDocExample> Examples;
	std::vector<std::pair<std::string, std::string>> PendingFiles;
	int PendingFilesLine = 0;
	for (size_t Index = 0; Index < Page.Lines.size(); ++Index)
	{
		const std::string& Line = Page.Lines[Index];
		const int LineNumber = static_cast<int>(Index) + 1;
		if (!IsFence(Line))
		{
			FMarker Ignored;
			std::string Problem;
			if (!ReadMarker(Line, Ignored, Problem))
			{
				OutProblems.push_back(Where(Page, LineNumber) + Problem);
			}
			// An indented block is named once, at its first line, which follows a blank one.
			const bool bAfterBlank = Index == 0 || Trim(Page.Lines[Index - 1]).empty();
			if (bAfterBlank && (StartsWith(Line, "    ") || StartsWith(Line, "\t")) && !Trim(Line).empty())
			{
				OutProblems.push_back(Where(Page, LineNumber) + "an indented code block: put it between ``` lines and mark it");
			}
			continue;
		}

		const size_t FenceIndex = Index;
		const size_t Indent = Line.find_first_not_of(' ');
		FDocBlock Block;
		Block.Line = LineNumber + 1;
		size_t End = Index + 1;
		while (End < Page.Lines.size() && Trim(Page.Lines[End]) != "```")
		{
			const std::string& BlockLine = Page.Lines[End];
			Block.Lines.push_back(BlockLine.compare(0, Indent, std::string(Indent, ' ')) == 0 ? BlockLine.substr(Indent) : BlockLine);
			++End;
		}
		if (End == Page.Lines.size())
		{
			OutProblems.push_back(Where(Page, LineNumber) + "a code block that is never closed");
			break;
		}
		Index = End;

		FMarker Marker;
		std::string Problem;
		if (FenceIndex == 0 || !ReadMarker(Page.Lines[FenceIndex - 1], Marker, Problem) || Marker.Type == FMarker::EType::None)
		{
			OutProblems.push_back(Where(Page, LineNumber) +
			                      "a code block without a marker on the line before it: mark it as an example (runnable, or not runnable and why), "
			                      "an example's output or an example's file");
			continue;
		}
		switch (Marker.Type)
		{
			case FMarker::EType::Example:
			{
				FDocExample& Example = Examples.emplace_back();
				Example.Page = Page.Path;
				Example.Line = LineNumber - 1;
				Example.Kind = Marker.Kind;
				Example.bRunnable = Marker.bRunnable;
				Example.NotRunnableReason = Marker.Reason;
				Example.Blocks.push_back(Block);
				Example.Files = std::move(PendingFiles);
				PendingFiles.clear();
				break;
			}
			case FMarker::EType::Continued:
				if (Examples.empty() || Examples.back().Kind != Marker.Kind)
				{
					OutProblems.push_back(Where(Page, LineNumber - 1) + "it continues no " + Marker.Kind + " example before it on the page");
				}
				else
				{
					Examples.back().Blocks.push_back(Block);
				}
				break;
			case FMarker::EType::Output:
				if (Examples.empty() || Examples.back().Kind != "script-mode" || Examples.back().Output.has_value())
				{
					OutProblems.push_back(Where(Page, LineNumber - 1) + "an output that follows no script-mode example of its own");
				}
				else
				{
					Examples.back().Output = Block;
				}
				break;
			case FMarker::EType::File:
			{
				std::string Text;
				for (const std::string& FileLine : Block.Lines)
				{
					Text += FileLine + "\n";
				}
				if (PendingFiles.empty())
				{
					PendingFilesLine = LineNumber - 1;
				}
				PendingFiles.emplace_back(Marker.FileName, Text);
				break;
			}
			case FMarker::EType::None:
				break;
		}
	}
	if (!PendingFiles.empty())
	{
		OutProblems.push_back(Where(Page, PendingFilesLine) + "a file that no example after it on the page uses");
	}
	return Examples;
}

std::vector<FDocLink> ReadLinks(const FDocPage& Page)
{
	std::vector<FDocLink> Links;
	bool bInCode = false;
	for (size_t Index = 0; Index < Page.Lines.size(); ++Index)
	{
		const std::string& Line = Page.Lines[Index];
		if (IsFence(Line))
		{
			bInCode = !bInCode;
			continue;
		}
		if (bInCode)
		{
			continue;
		}
		bool bInSpan = false;
		for (size_t At = 0; At < Line.size(); ++At)
		{
			if (Line[At] == '`')
			{
				bInSpan = !bInSpan;
			}
			if (bInSpan || Line.compare(At, 2, "](") != 0)
			{
				continue;
			}
			const size_t Close = Line.find(')', At + 2);
			const std::string Target = Line.substr(At + 2, Close == std::string::npos ? std::string::npos : Close - At - 2);
			if (Target.find("://") != std::string::npos || StartsWith(Target, "mailto:"))
			{
				continue;
			}
			const size_t Hash = Target.find('#');
			Links.push_back({static_cast<int>(Index) + 1, Target.substr(0, Hash), Hash == std::string::npos ? std::string() : Target.substr(Hash + 1)});
		}
	}
	return Links;
}

std::vector<std::string> ReadAnchors(const FDocPage& Page)
{
	std::vector<std::string> Anchors;
	std::map<std::string, int> Seen;
	bool bInCode = false;
	for (const std::string& Line : Page.Lines)
	{
		if (IsFence(Line))
		{
			bInCode = !bInCode;
		}
		const size_t Level = Line.find_first_not_of('#');
		if (bInCode || Level == 0 || Level > 6 || Level == std::string::npos || Line[Level] != ' ')
		{
			continue;
		}
		// Lower case, blanks to hyphens, punctuation but hyphens and underscores left out; a repeated heading gets -1, -2.
		std::string Anchor;
		for (const char Char : Trim(Line.substr(Level)))
		{
			const unsigned char Byte = static_cast<unsigned char>(Char);
			if (std::isalnum(Byte) || Char == '-' || Char == '_' || Byte >= 0x80)
			{
				Anchor += static_cast<char>(std::tolower(Byte));
			}
			else if (Char == ' ')
			{
				Anchor += '-';
			}
		}
		const int Count = Seen[Anchor]++;
		Anchors.push_back(Count == 0 ? Anchor : Anchor + "-" + std::to_string(Count));
	}
	return Anchors;
}
