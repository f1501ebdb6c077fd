// The alphabet index printed in the header band: nine groups of three
// characters; a tap scrolls the contacts list to the first row whose text in
// the sort column begins with one of them.
#pragma once

constexpr int INDEX_GROUP_COUNT = 9;

// The group under client x of the band, -1 for none.
int IndexGroupAt(int x);
// A tap on group g (0..8): the first character of the group, or the next one
// when g was tapped last. Returns the row scrolled to the top, -1 when no row
// matched and nothing moved.
int TapIndexGroup(int group);
// Forgets the group tapped last (a new main window).
void ResetAlphabetIndex();

// Whether a text's first character is a letter by the platform's alphabetic
// test; an empty text is not.
bool BeginsWithLetter(const wchar_t* text);
// Whether a text belongs to index character p of "#ABC...Z": for # (p 0) a
// text not beginning with a letter, otherwise one beginning with that
// letter in either case, accents aside ("Émile" is found under E).
bool MatchesIndexCharacter(const wchar_t* text, int p);
