// Resource lookup by the user's interface language.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The language of the variant of resource (type, name) in `module` that serves
// this user: an exact match of the user's interface language, else a variant
// of the same primary language, else English (United States), else the first
// variant found. Returns 0 when the resource does not exist at all.
// A resource held only as a language-neutral variant also answers 0
// (LANG_NEUTRAL), which FindResourceExA finds as well.
LANGID ResourceLanguage(HMODULE module, LPCSTR type, LPCSTR name);

// String `id` of the program's string table in the chosen language, converted
// to the ANSI code page; empty when the string does not exist.
std::string LoadResString(UINT id);

// Menu `id` in the chosen language; nullptr when missing. The caller owns it.
HMENU LoadResMenu(UINT id);

// Dialog template `id` in the chosen language; nullptr when missing. The
// template lives as long as the module.
LPCDLGTEMPLATEA FindDialogTemplate(UINT id);

// The choice behind ResourceLanguage, for a user language `user` and the
// `count` languages a resource exists in, in the order the module lists them:
// an exact match; else the same primary language, preferring its neutral
// sub-language, then its default sub-language, then the first listed; else
// English (United States); else the language-neutral variant; else the first
// listed. Returns 0 when `count` is 0.
LANGID PickResourceLanguage(LANGID user, const LANGID* available, size_t count);

}  // namespace fw
