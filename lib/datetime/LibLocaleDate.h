#pragma once

// LibLocaleDate: formats a date by a pattern of element letters in one of five
// languages, and reads dates back. In the pattern, D is the day, M the month, W
// the weekday and Y the year; each is expanded at its first occurrence only, and
// every other byte is copied. With the defaults ("D M Y", short month name, full
// year, English) 2026-12-07 is "7 Dec 2026"; with "W, M D Y" it is
// "Mon, Dec 7 2026".

#include <LibString.h>
#include <SupportDefs.h>

#include "LibDate.h"

class BMessage;
class LibStringList;

class LibLocaleDate {
public:
    enum LanguageType : int { kEnglish = 0, kFrench = 1, kGerman = 2, kSpanish = 3, kJapanese = 4 };

    // The width of one element:
    //   day      always the plain number (the width is kept but has no effect);
    //   month    0 the number, 1 the name cut to 3 characters, 2 the full name;
    //   weekday  0 the name cut to 2 characters, 1 to 3 characters, 2 the full
    //            name (Japanese: 0 the first 3 characters, otherwise the name);
    //   year     0 and 1 the last two digits, 2 the full year.
    enum ElementFormat : int { kElementMinimal = 0, kElementShort = 1, kElementLong = 2 };

    LibLocaleDate(void);
    LibLocaleDate(const LibLocaleDate& other);
    virtual ~LibLocaleDate();

    // Prints nothing: there is nothing worth a diagnostic line.
    virtual void PrintToStream() const;

    void SetFormat(const char* format);
    LibLocaleDate& SetWeekdayFormat(const LibLocaleDate::ElementFormat& format);
    LibLocaleDate& SetMonthFormat(const LibLocaleDate::ElementFormat& format);
    LibLocaleDate& SetDayFormat(const LibLocaleDate::ElementFormat& format);
    LibLocaleDate& SetYearFormat(const LibLocaleDate::ElementFormat& format);
    // A leading "0" for days and month numbers 1..9.
    LibLocaleDate& PadWithZeros(const bool& pad);
    LibLocaleDate& SetLanguage(const LibLocaleDate::LanguageType& language);
    // True when the language is Japanese.
    bool KanjiLaunguage() const;
    // Appends "English", "French", "German", "Spanish", "Japanese".
    void AvailableLanguages(LibStringList& list) const;

    LibString Format(const LibDate& date) const;
    // The text of one element as Format produces it.
    LibString AddDay(const int& day) const;
    LibString AddMonth(const int& month) const;
    LibString AddYear(const int& year) const;
    LibString AddWeekDay(const LibWeekDay& weekday) const;
    LibString AddWeekDay(const LibDate& date) const;
    // Sets the given string to the weekday's text (what it held goes).
    void AddWeekDay(const LibWeekDay& weekday, LibString& text) const;

    // The text with at most one foreign month name and at most one foreign
    // weekday name (full or abbreviated) replaced by the English name:
    // "Lundi 5 Janvier 2004" becomes "Monday 5 January 2004".
    LibString ConvertToEnglish(const char* text) const;
    // (text, name, replacement) Replaces the first word of the text that is the
    // name or its beginning ("Dic" for "Diciembre"), or that begins with the whole
    // name, by the replacement. Words are runs of bytes that are neither
    // whitespace, punctuation nor digits. False when no word matches.
    bool SwapText(LibString& text, const char* name, const char* replacement) const;
    // Today's local date, replaced by the date that the free-form reader finds in
    // the text (relative texts such as "tomorrow" included).
    LibDate GetDate(const char* text) const;
    // Removes an element letter from the pattern together with the text between
    // it and the neighbouring element letter before it: from "D M Y", removing M
    // gives "DY", D gives "M Y", Y gives "D M".
    void RemoveFormat(const char& letter);

    // "weekday", "month", "day", "year" (int32), "pad" (bool), "format" (string),
    // "language" (int32). Restore changes only the fields that are present and
    // valid.
    status_t Archive(BMessage& archive) const;
    status_t Restore(const BMessage& archive);

    LibLocaleDate& operator=(const LibLocaleDate& other);

private:
    // The language as an index of the name tables; a value outside them counts
    // as English.
    int Language() const;

    ElementFormat fWeekdayFormat;
    ElementFormat fMonthFormat;
    ElementFormat fDayFormat;
    ElementFormat fYearFormat;
    bool fPad;
    LibString fFormat;
    LanguageType fLanguage;
};
