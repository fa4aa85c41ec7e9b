// Line editing at the interactive prompt, when a person types at a terminal: the arrow keys, Home and End, the
// session's earlier lines and Ctrl-R's search through them, by libedit.
#pragma once

#include <cstdio>
#include <string>

struct editline;
struct history;

namespace UE::StandIn::EditorHost
{
	/**
	 * Edits one line at a time on a terminal. Input is taken a key at a time, as the front end's loop finds it ready, so
	 * that the game-thread loop keeps running while a person types; lines printed meanwhile go above the line being
	 * typed, which is drawn again under them. The terminal is in the editor's mode only while a line is being typed.
	 */
	class FInteractiveLineEditor
	{
	public:
		/** Edits what InputFd, a terminal, receives, and draws on Output, the same terminal. */
		FInteractiveLineEditor(int InputFd, std::FILE* Output);
		~FInteractiveLineEditor();

		FInteractiveLineEditor(const FInteractiveLineEditor&) = delete;
		FInteractiveLineEditor& operator=(const FInteractiveLineEditor&) = delete;

		/** Shows Prompt and starts a line, with Typed in it already (what a person had typed when another prompt took over). */
		void Begin(const std::string& Prompt, const std::string& Typed);

		/** Takes the keys the terminal has ready, without waiting; stops at the end of a line. */
		void ReadAvailableKeys();

		/**
		 * @return true once the line is complete, with OutLine, or once the person ended the input (Ctrl-D on an empty
		 *         line), with bOutEnded. Editing has stopped then.
		 */
		bool TakeLine(std::string& OutLine, bool& bOutEnded);

		/** Stops editing the line and gives the terminal its mode back. @return what was typed of it. */
		std::string End();

		bool IsEditing() const { return bEditing; }

		/** @return false when libedit could not be set up on the terminal; lines are then read as they come. */
		bool IsAvailable() const { return Editor != nullptr && EditHistory != nullptr; }

		/** Takes the prompt and what is typed off the screen, so that a line can be printed where they were. */
		void Hide();
		/** Draws the prompt and what is typed again, after Hide and what was printed. */
		void Show();

		/** @return the prompt, for libedit, which asks for it whenever it draws the line. */
		const char* GetPrompt() const { return Prompt.c_str(); }

		/**
		 * Reads one key for libedit. The first key of a command is taken only when one is ready, so that reading stops
		 * when the person has typed nothing more; the rest of a command (an escape sequence, a Ctrl-R search) is waited
		 * for, as libedit itself waits.
		 * @return 1 with OutKey, 0 when the terminal has hung up, -1 when no key is ready or Ctrl-C came meanwhile.
		 */
		int ReadKey(wchar_t& OutKey);

	private:
		editline* Editor = nullptr;
		history* EditHistory = nullptr;
		/** libedit's own stream on a copy of the input descriptor, closed after libedit is done with it. */
		std::FILE* Input = nullptr;
		std::FILE* Output = nullptr;
		std::string Prompt;
		bool bEditing = false;

		std::string CompletedLine;
		bool bLineCompleted = false;
		bool bInputEnded = false;
		/** Whether the command being read has its first key, and whether none was ready for it. */
		bool bCommandStarted = false;
		bool bNoKeyReady = false;
		bool bHungUp = false;
		/** The last line kept in the history, so that a line repeated at once is kept once. */
		std::string LastKept;
	};
} // namespace UE::StandIn::EditorHost
