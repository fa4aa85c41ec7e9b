// What the interactive front end reads and writes: lines from standard input while the game-thread loop runs, Ctrl-C,
// and output that keeps a waiting prompt under whatever is printed.
#include "InteractiveFrontEnd.h"

#include "HostSession.h"
#include "InteractiveInput.h"
#include "InteractiveLineEditor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// Short enough that notifications and child processes move on smoothly while the person types.
		constexpr int FramePollMilliseconds = 16;
	} // namespace

	namespace Interactive
	{
		std::string TrimSpaces(const std::string& Text)
		{
			const size_t First = Text.find_first_not_of(" \t");
			if (First == std::string::npos)
			{
				return std::string();
			}
			const size_t Last = Text.find_last_not_of(" \t");
			return Text.substr(First, Last - First + 1);
		}

		bool ParseNumber(const std::string& Text, int32& OutNumber)
		{
			if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos)
			{
				return false;
			}
			OutNumber = static_cast<int32>(std::strtol(Text.c_str(), nullptr, 10));
			return true;
		}

		FString EscapeControlCharacters(const std::string& Typed)
		{
			const FString Text = FString::FromUtf8(Typed);
			FString Shown;
			for (int32 Index = 0; Index < Text.Len(); ++Index)
			{
				const TCHAR Char = Text[Index];
				if (Char < 0x20 || Char == 0x7F)
				{
					Shown += FString::Printf(TEXT("\\x%02X"), static_cast<uint32>(Char));
				}
				else if (Char >= 0x80 && Char <= 0x9F)
				{
					Shown += FString::Printf(TEXT("\\u%04X"), static_cast<uint32>(Char));
				}
				else
				{
					Shown.AppendChar(Char);
				}
			}
			return Shown;
		}
	} // namespace Interactive

	using namespace Interactive;

	FInteractiveFrontEnd::FInteractiveFrontEnd(int InInputFd, std::FILE* InOutput)
	    : InputFd(InInputFd)
	    , Output(InOutput)
	    , bInputIsTerminal(isatty(InInputFd) == 1)
	    , bOutputIsTerminal(isatty(fileno(InOutput)) == 1)
	{
		// The no-color.org convention: NO_COLOR set to anything but the empty text turns colours off.
		const char* const NoColor = std::getenv("NO_COLOR");
		bUseColour = bOutputIsTerminal && (NoColor == nullptr || NoColor[0] == '\0');
		// Line editing draws on the terminal that the keys come from; with either end redirected, lines are read as the
		// terminal's own line discipline delivers them.
		if (bInputIsTerminal && bOutputIsTerminal)
		{
			LineEditor = std::make_unique<FInteractiveLineEditor>(InInputFd, InOutput);
			if (!LineEditor->IsAvailable())
			{
				LineEditor.reset();
			}
		}
	}

	FInteractiveFrontEnd::~FInteractiveFrontEnd()
	{
		// Lines that other threads logged after the session's last moment.
		bHoldEvents = false;
		PrintHeldEvents();
		LineEditor.reset();
	}

	FInteractiveFrontEnd::EInputResult FInteractiveFrontEnd::ReadLine(const FString& Prompt, bool bKeepTicking, std::string& OutLine)
	{
		// A window or dialog that a frame opens asks its own questions; the prompt it interrupted comes back after,
		// with what had been typed of its line.
		const FString OuterPrompt = ActivePrompt;
		std::string OuterTyped = ResumeTyped;
		if (LineEditor && LineEditor->IsEditing())
		{
			if (bPromptOnScreen)
			{
				LineEditor->Hide();
				bPromptOnScreen = false;
			}
			OuterTyped = LineEditor->End();
		}
		ActivePrompt = Prompt;
		ResumeTyped.clear();
		const EInputResult Result = WaitForLine(bKeepTicking, OutLine);
		if (LineEditor)
		{
			LineEditor->End();
		}
		if (bPromptOnScreen)
		{
			// Ctrl-C or the end of input left the cursor after the prompt.
			WriteRaw("\n");
			bPromptOnScreen = false;
		}
		if (Result == EInputResult::Line && !bInputIsTerminal)
		{
			// From a pipe or a file the prompt is written with the line it received, so the output reads like a
			// session at a terminal.
			WriteRaw((Prompt + EscapeControlCharacters(OutLine)).ToUtf8() + "\n");
		}
		ActivePrompt = OuterPrompt;
		ResumeTyped = OuterTyped;
		return Result;
	}

	FInteractiveFrontEnd::EInputResult FInteractiveFrontEnd::WaitForLine(bool bKeepTicking, std::string& OutLine)
	{
		while (true)
		{
			if (IsInterruptRequested())
			{
				return EInputResult::Interrupted;
			}
			// The moment that ended before this look at the input is shown before the prompt goes back up.
			PrintHeldEvents();
			if (LineEditor)
			{
				bool bEnded = false;
				if (LineEditor->TakeLine(OutLine, bEnded))
				{
					// The editor moved to the next line; with Ctrl-D, the prompt and ^D are still on theirs. Ctrl-D ends
					// the input, as the end of a file does.
					bPromptOnScreen = bEnded;
					bInputEnded = bEnded;
					return bEnded ? EInputResult::EndOfInput : EInputResult::Line;
				}
			}
			else if (TakePendingLine(OutLine))
			{
				// The terminal echoed the line and its line break: the prompt has scrolled up.
				bPromptOnScreen = false;
				return EInputResult::Line;
			}
			if (bInputEnded)
			{
				return EInputResult::EndOfInput;
			}
			if (LineEditor && !bPromptOnScreen)
			{
				WritePrompt();
			}
			else if (bInputIsTerminal && !bPromptOnScreen)
			{
				// A line typed while time passed or output scrolled by has been echoed by the terminal already: it is
				// taken as it is, not under a prompt that would stand empty above what the line does.
				if (IsInputReady())
				{
					ReadAvailableInput();
					continue;
				}
				WritePrompt();
			}

			// Ctrl-C wakes the wait through its descriptor, whichever thread the signal reached.
			pollfd Polled[2] = {{InputFd, POLLIN, 0}, {GetInterruptFd(), POLLIN, 0}};
			const pollfd& Input = Polled[0];
			const int Ready = poll(Polled, GetInterruptFd() >= 0 ? 2 : 1, bKeepTicking ? FramePollMilliseconds : -1);
			if (Ready > 0 && Input.revents != 0)
			{
				if ((Input.revents & POLLNVAL) != 0)
				{
					bInputEnded = true;
				}
				else if (LineEditor)
				{
					LineEditor->ReadAvailableKeys();
				}
				else
				{
					ReadAvailableInput();
				}
			}
			if (bKeepTicking && Session && !IsInterruptRequested())
			{
				Session->TickFrame();
			}
		}
	}

	bool FInteractiveFrontEnd::IsInputReady() const
	{
		pollfd Input = {};
		Input.fd = InputFd;
		Input.events = POLLIN;
		return poll(&Input, 1, 0) > 0;
	}

	void FInteractiveFrontEnd::ReadAvailableInput()
	{
		char Buffer[4096];
		const ssize_t Count = read(InputFd, Buffer, sizeof(Buffer));
		if (Count > 0)
		{
			PendingInput.append(Buffer, static_cast<size_t>(Count));
		}
		else if (Count == 0 || (errno != EINTR && errno != EAGAIN))
		{
			bInputEnded = true;
		}
	}

	bool FInteractiveFrontEnd::TakePendingLine(std::string& OutLine)
	{
		const size_t NewLine = PendingInput.find('\n');
		if (NewLine == std::string::npos)
		{
			// The last line of a file may have no line break.
			if (!bInputEnded || PendingInput.empty())
			{
				return false;
			}
			OutLine = PendingInput;
			PendingInput.clear();
			return true;
		}
		OutLine = PendingInput.substr(0, NewLine);
		PendingInput.erase(0, NewLine + 1);
		if (!OutLine.empty() && OutLine.back() == '\r')
		{
			OutLine.pop_back();
		}
		return true;
	}

	void FInteractiveFrontEnd::Print(const FString& Line)
	{
		PrintHeldEvents();
		PrintLine(Line);
	}

	void FInteractiveFrontEnd::PrintLine(const FString& Line)
	{
		if (bPromptOnScreen)
		{
			// Take the prompt off its line; it is written again under what is printed while it waits. What the
			// person has typed so far stays in the line editor, or in the terminal's line buffer.
			if (LineEditor)
			{
				LineEditor->Hide();
			}
			else
			{
				WriteRaw(bOutputIsTerminal ? "\r\x1b[K" : "\n");
			}
			bPromptOnScreen = false;
		}
		WriteRaw(Line.ToUtf8() + "\n");
	}

	void FInteractiveFrontEnd::WriteRaw(const std::string& Bytes)
	{
		std::fwrite(Bytes.data(), 1, Bytes.size(), Output);
		std::fflush(Output);
	}

	void FInteractiveFrontEnd::WritePrompt()
	{
		if (!LineEditor)
		{
			WriteRaw(ActivePrompt.ToUtf8());
		}
		else if (LineEditor->IsEditing())
		{
			LineEditor->Show();
		}
		else
		{
			// Keys typed while a command ran were echoed by the terminal where the prompt goes; the editor shows them
			// again after the prompt.
			WriteRaw("\r\x1b[K");
			LineEditor->Begin(ActivePrompt.ToUtf8(), ResumeTyped);
			ResumeTyped.clear();
		}
		bPromptOnScreen = true;
	}
} // namespace UE::StandIn::EditorHost
