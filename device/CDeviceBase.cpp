#include "device/CDeviceBase.h"

void CDeviceBase::Serialize()
{
    CCriticalSectionFuncation guard(m_csDevice);
}

bool CDeviceBase::IsConnected() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_pfnHandler != nullptr;
}

void CDeviceBase::SetAddress(const std::wstring& address)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_strAddress = address;
}

std::wstring CDeviceBase::GetAddress() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_strAddress;
}

void CDeviceBase::SetRemark(const std::wstring& remark)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_strRemark = remark;
}

std::wstring CDeviceBase::GetRemark() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_strRemark;
}

std::wstring CDeviceBase::GetName() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_strName;
}

void CDeviceBase::SetName(const std::wstring& name)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_strName = name;
}

void CDeviceBase::AttachHandler(ReceiveHandler function, void* context, HandlerKind kind)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_pHandlerContext = context;
    m_pfnHandler = function;
    m_nHandlerKind = kind;
}

void CDeviceBase::SetAuxiliaryReceiveHandler(ReceiveHandler function, void* context)
{
    AttachHandler(function, context, HANDLER_AUXILIARY);
}

void CDeviceBase::SetAlternateReceiveHandler(ReceiveHandler function, void* context)
{
    AttachHandler(function, context, HANDLER_ALTERNATE);
}

void CDeviceBase::SetReceiveHandler(ReceiveHandler function, void* context)
{
    AttachHandler(function, context, HANDLER_PLAIN);
}

void CDeviceBase::SetRunHandler(RunHandler function)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_pfnRunHandler = function;
}

void CDeviceBase::ClearReceiveHandler()
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_pHandlerContext = nullptr;
    m_pfnHandler = nullptr;
    m_pfnRunHandler = nullptr;
}

ReceiveHandler CDeviceBase::GetReceiveHandler() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_pfnHandler;
}

void* CDeviceBase::GetReceiveContext() const
{
    CCriticalSectionFuncation guard(m_csDevice);
    return m_pHandlerContext;
}

bool CDeviceBase::Write(const uint8_t* /*bytes*/, int32_t /*count*/)
{
    return false;
}

bool CDeviceBase::Write(const std::wstring& /*text*/)
{
    return false;
}

bool CDeviceBase::Write(const std::vector<uint8_t>& /*bytes*/)
{
    return false;
}
