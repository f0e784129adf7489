#pragma once

// Compares an object with a snapshot of itself taken by storeOrig().
class ICompare
{
public:
    enum ChangeType { NoChange = 0, Changed = 1 };

    virtual ~ICompare() = default;
    virtual void storeOrig() = 0;
    virtual ChangeType compare() = 0; // NoChange also when there is no snapshot yet
    virtual void restoreOrig() = 0;
};
