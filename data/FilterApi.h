/* The interface between the program and its data-filter libraries (".mxr"
 * shared libraries). A filter exports the MX4Filter... entry points; the
 * program exports the call-backs below, which a filter calls while one of its
 * conversion entry points runs to read or fill the table being converted.
 * Rows and columns are the table's own numbers: row 0 holds a column's type,
 * row 1 its name, data rows start at 2. Plain C, so filters need nothing of
 * the program but this header. */
#ifndef MARLOX_DATA_FILTER_API_H
#define MARLOX_DATA_FILTER_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define MX_FILTER_BUFFER_SIZE 512
#define MX_FILTER_CAN_IMPORT 1u
#define MX_FILTER_CAN_EXPORT 2u

/* A text block passed by value (the filter's name; the program's path). */
typedef struct MXFilterTextBlock {
    char text[MX_FILTER_BUFFER_SIZE];
} MXFilterTextBlock;

/* ---- Entry points a filter exports ---- */
typedef unsigned (*MX4FilterCapsFn)(void);
/* The filter registers its clipboard format with RegisterClipboardFormat below. */
typedef unsigned (*MX4FilterRegisterClipFormatFn)(void);
/* "Description|*.ext|" */
typedef MXFilterTextBlock (*MX4FilterGetDefaultNameFn)(void);
typedef int (*MX4FilterRegisterFilesFn)(MXFilterTextBlock programPath);
typedef int (*MX4FilterTestValidFn)(const char* data, unsigned length);
/* -1 failure; anything else success. */
typedef int (*MX4FilterForeignToMXFn)(const char* data, unsigned length);
typedef unsigned (*MX4FilterMXToForeignSizeFn)(int rowSpan, int columnSpan, int firstRow, int firstColumn);
typedef unsigned (*MX4FilterMXToForeignFn)(char* buffer, unsigned size, int rowSpan, int columnSpan, int firstRow,
                                           int firstColumn);

/* ---- Call-backs the program exports ---- */
/* The shared text buffer: strings go in and out through it. */
extern char filterBuffer[MX_FILTER_BUFFER_SIZE];

/* Each answers 0 and does nothing while no table is being converted. */
int FilterSetDataNumber(int row, int column, double value);
int FilterSetDataString(int row, int column);
int FilterSetDataFromString(int row, int column);
int FilterDeleteData(int row, int column);
/* 0 no cell, 1 number, 2 text, -1 anything else. */
int FilterGetDataType(int row, int column);
double FilterGetDataNumber(int row, int column);
/* Copy the cell's text into filterBuffer (at most 511 bytes and a NUL); 0 when there is no cell. */
int FilterGetDataRawString(int row, int column);
int FilterGetDataFormattedString(int row, int column);
/* kind 0, 1, 2: general, x data, y data; 3: y data with four associated values. */
int FilterSetColumnType(int column, int kind, double value1, double value2, double value3, double value4);
/* 4: the decimal character; 5: the list separator; otherwise 0. */
int MX4Information(int index);
/* A clipboard format id for a name; the same name gives the same id. Its
 * data travels as the MIME type "application/x-marlox-filter-<name>". */
unsigned RegisterClipboardFormat(const char* name);

#ifdef __cplusplus
}
#endif

#endif
