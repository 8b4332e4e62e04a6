#pragma once

#include <QByteArray>
#include <QString>

#include "graphnode.h"

// The binary form of the engine's files (".brg"): the same node tree as the XML
// form, written compactly.
//
//   file   := "TBRG" version:u16 root:node
//   node   := name:str count:u16 { key:str value } count:u32 { node }
//   value  := tag:u8 payload      tag 0 text (str), 1 double (f64), 2 int (i32),
//                                 3 bool (u8), 4 polygon (count:u32 {f64 f64}),
//                                 5 color (rgba:u32)
//   str    := length:u32 utf8-bytes
//
// Big-endian throughout. Every count and length is checked against what is left
// of the file and against GraphLimits before anything is allocated.
class GraphBinaryFormat
{
public:
    static constexpr quint16 kVersion = 1;

    static QByteArray Write(const GraphNode& root);
    static bool Read(const QByteArray& data, GraphNode& root, QString* error = nullptr);

    static bool WriteFile(const QString& path, const GraphNode& root);
    static bool ReadFile(const QString& path, GraphNode& root);
};
