#include "SubscriptionClient.h"

#include <sstream>

namespace cimserver::test {

namespace {

std::string reference(const std::string& name, const std::string& instance_name)
{
    return "<PROPERTY.REFERENCE NAME=\"" + name + "\"><VALUE.REFERENCE><LOCALINSTANCEPATH><LOCALNAMESPACEPATH>"
           "<NAMESPACE NAME=\"interop\"></NAMESPACE></LOCALNAMESPACEPATH>" +
           instance_name + "</LOCALINSTANCEPATH></VALUE.REFERENCE></PROPERTY.REFERENCE>";
}

} // namespace

std::string SubscriptionClient::property(const std::string& name, const std::string& type, const std::string& value)
{
    return "<PROPERTY NAME=\"" + name + "\" TYPE=\"" + type + "\"><VALUE>" + value + "</VALUE></PROPERTY>";
}

std::string SubscriptionClient::create(const std::string& instance)
{
    _client.call("CreateInstance",
                 CimClient::imethod("CreateInstance", "<IPARAMVALUE NAME=\"NewInstance\">" + instance + "</IPARAMVALUE>",
                                    INTEROP),
                 _last);
    auto name = _last.doc.select_node("//IRETURNVALUE/INSTANCENAME");
    return name ? CimClient::raw(name.node()) : std::string();
}

std::string SubscriptionClient::createFilter(const std::string& name, const std::string& query,
                                             const std::string& language, const std::string& source_namespace)
{
    return create("<INSTANCE CLASSNAME=\"CIM_IndicationFilter\">" + property("Name", "string", name) +
                  property("Query", "string", query) + property("QueryLanguage", "string", language) +
                  "<PROPERTY.ARRAY NAME=\"SourceNamespaces\" TYPE=\"string\"><VALUE.ARRAY><VALUE>" + source_namespace +
                  "</VALUE></VALUE.ARRAY></PROPERTY.ARRAY></INSTANCE>");
}

std::string SubscriptionClient::createDestination(const std::string& name, const std::string& url)
{
    return create("<INSTANCE CLASSNAME=\"CIM_ListenerDestinationCIMXML\">" + property("Name", "string", name) +
                  property("Destination", "string", url) + property("PersistenceType", "uint16", "2") + "</INSTANCE>");
}

std::string SubscriptionClient::createSubscription(const std::string& filter, const std::string& destination)
{
    return create("<INSTANCE CLASSNAME=\"CIM_IndicationSubscription\">" + reference("Filter", filter) +
                  reference("Handler", destination) + property("SubscriptionState", "uint16", "2") +
                  property("OnFatalErrorPolicy", "uint16", "2") + "</INSTANCE>");
}

int SubscriptionClient::remove(const std::string& instance_name)
{
    _client.call("DeleteInstance",
                 CimClient::imethod("DeleteInstance",
                                    "<IPARAMVALUE NAME=\"InstanceName\">" + instance_name + "</IPARAMVALUE>", INTEROP),
                 _last);
    return _last.http_status == 200 ? _last.error_code : -1;
}

std::vector<std::string> SubscriptionClient::names(const std::string& class_name)
{
    _client.call("EnumerateInstanceNames",
                 CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", class_name), INTEROP),
                 _last);
    std::vector<std::string> out;
    for (auto n : _last.all("INSTANCENAME"))
        if (std::string(n.parent().name()) == "IRETURNVALUE")
            out.push_back(CimClient::raw(n));
    return out;
}

} // namespace cimserver::test
