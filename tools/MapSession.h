#pragma once
// The map every command works on: a map control on a window that is never
// shown, the layers it loads, and the layer helpers the commands share.

#include "MapObjects.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string_view>

class TMapSession {
public:
  TMapSession();
  TMapSession(const TMapSession&) = delete;
  TMapSession& operator=(const TMapSession&) = delete;

  // Adds the file as a layer named after it. A missing, unreadable or
  // directory path raises EInOutError (the layer list would only make an
  // empty layer); errors of the reader propagate with the file named.
  TMapLayer& Load(const QString& FileName);
  // Milliseconds the last Load spent.
  [[nodiscard]] double LoadMilliseconds() const { return FLoadMilliseconds; }

  [[nodiscard]] TLumara& Map() const { return *FMap; }

private:
  std::unique_ptr<QWidget> FWindow;
  TLumara* FMap; // owned by FWindow
  double FLoadMilliseconds = 0;
};

// The extent of the vertices themselves, none for a layer without any. The
// part lists' bounds are not used: moving a point does not update them.
[[nodiscard]] std::optional<TMapBounds> VertexBounds(const TMapLayer& Layer);
[[nodiscard]] std::optional<TMapBounds> VertexBounds(const TMapLayers& Layers);

// Display text of a layer's byte text (names, attribute values).
[[nodiscard]] QString LayerText(const TMapLayer& Layer, std::string_view Text);

// Shortest text that reads back as the same double, point as separator.
[[nodiscard]] QString NumberText(Extended Value);
