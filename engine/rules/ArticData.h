#pragma once
// A boxed number: the item of the exv and inv number lists of a value
// variable and of the number list of an exv variable.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticData : public CObject {
public:
    CArticData() = default;
    explicit CArticData(int value) : m_IntData(value) {}
    explicit CArticData(double value) : m_DoubleData(value) {}

    virtual int GetIntData() const { return m_IntData; }
    virtual double GetDoubleData() const { return m_DoubleData; }
    virtual void SetIntData(int value) { m_IntData = value; }
    virtual void SetDoubleData(double value) { m_DoubleData = value; }

private:
    int m_IntData = 0;
    double m_DoubleData = 0.0;
};

using CArticDataList = CTypedPtrList<CObList, CArticData*>;
