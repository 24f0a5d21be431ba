#pragma once
// The library's data source: the class library's own, under the name the
// program's forms and the lookup dialog place.
#include "platform/db/DataSource.h"

class TwwDataSource : public TDataSource {
    ZELMOR_CLASS(TwwDataSource, TDataSource)
public:
    explicit TwwDataSource(TComponent* AOwner) : TDataSource(AOwner) {}
};
