#pragma once
// The names the program registers its own window classes and its message
// under. The test driver finds the program's windows by them from another
// process, so both take them from here.

namespace talvorin::platform::win32 {

// The hidden window that owns every form and the popup menus.
inline constexpr wchar_t kAppWindowClass[] = L"TalvorinApp";
inline constexpr wchar_t kFormWindowClass[] = L"TalvorinForm";
inline constexpr wchar_t kPictureWindowClass[] = L"TalvorinPicture";
// The caption laid over a Start button that paints no text, and the hidden
// window that owns the captions.
inline constexpr wchar_t kStartCaptionClass[] = L"TalvorinStartCaption";
inline constexpr wchar_t kStartCaptionOwnerClass[] = L"TalvorinStartCaptionOwner";

// Answered by the application window with the GDI objects (low word) and
// USER objects (high word) the program holds: for checks of a long run from
// outside.
inline constexpr wchar_t kLiveHandlesMessage[] = L"TalvorinLiveHandles";

}  // namespace talvorin::platform::win32
